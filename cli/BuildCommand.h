#pragma once
#include "cli/CommandLine.h"

// "build FILE OUTDIR [--preview] [--jobs N]": the finished web site of a site file,
// default.htm in OUTDIR and everything else in OUTDIR/My_Homepage_Files.
int RunBuild(const CParsedCommand& command, CCommandEnv& env);
