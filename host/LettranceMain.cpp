// The lettrance executable.
#include <exception>
#include <iostream>

#include "host/ProgramEntry.h"

int main(int argc, char** argv) {
  try {
    return RunProgram(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "lettrance: " << error.what() << std::endl;
    return 1;
  }
}
