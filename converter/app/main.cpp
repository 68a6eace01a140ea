#include "app/command_line.h"

int main(int argc, char** argv) {
  return sonatra::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
