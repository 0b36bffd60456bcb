#pragma once
#include "cli/CommandLine.h"

// "info FILE": what a site file holds.
int RunInfo(const CParsedCommand& command, CCommandEnv& env);
// "render FILE --page N --out PNG": one page as a PNG picture.
int RunRender(const CParsedCommand& command, CCommandEnv& env);
