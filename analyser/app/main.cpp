// Tonewarden: the command line now; with no arguments the window will open here.

#include <string>
#include <vector>

#include "command_line.h"

int main(int argc, char** argv) {
  return tonewarden::CommandLine::Run(std::vector<std::string>(argv + 1, argv + argc));
}
