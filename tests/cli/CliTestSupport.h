#pragma once
// Runs the command-line program in process and keeps what it printed.
#include "cli/CommandLine.h"
#include "render/Rendering.h"
#include <sstream>
#include <string>
#include <vector>

struct CRun {
    int status = -1;
    std::string out, err;
};

inline CRun RunCli(const std::vector<std::string>& args) {
    // The real program connects the renderers at start; so do its tests.
    static const bool installed = [] {
        InstallRendering(nullptr);
        return true;
    }();
    (void)installed;
    std::ostringstream out, err;
    CRun run;
    run.status = RunCommandLine(args, out, err, Commands());
    run.out = out.str();
    run.err = err.str();
    return run;
}
