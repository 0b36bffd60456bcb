#pragma once
#include "cli/CommandLine.h"

// "build FILE OUTDIR [--preview] [--jobs N] [--classic] ...": the finished web
// site of a site file, default.htm in OUTDIR and everything else in
// OUTDIR/My_Homepage_Files; the picture weight of its pages is printed.
int RunBuild(const CParsedCommand& command, CCommandEnv& env);
