#include <iostream>

#include "cli/qorva_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return qorva::RunQorvaCommand(args, std::cout, std::cerr);
}
