// Brings one exam's derived data up to date after an entry into row
// number_student of that exam: totals, student order and ranks, the new
// student's class statistics, and the exam's class order list.
#pragma once

void Data_Processing(int exam);

// A value formed in double precision, rounded once to the stored float.
// Values beyond the float range become infinities instead of undefined
// behaviour.
float round_to_stored(double value);
