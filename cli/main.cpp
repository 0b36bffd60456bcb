#include "cli/CommandLine.h"
#include "render/Rendering.h"
#include <iostream>

int main(int argc, char** argv) {
    InstallRendering(nullptr);
    return RunCommandLine(argc, argv, std::cout, std::cerr);
}
