#include "cli/CommandLine.h"
#include <iostream>

int main(int argc, char** argv) {
    return RunCommandLine(argc, argv, std::cout, std::cerr);
}
