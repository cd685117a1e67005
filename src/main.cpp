#include "menu.h"

int main() { Data_Reception(); }
