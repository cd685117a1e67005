#include "console/command_line.h"
#include "console/menu.h"

int main(int argc, char** argv) {
  take_command_line(argc, argv);
  Data_Reception();
}
