#include "console/menu.h"

int main() { Data_Reception(); }
