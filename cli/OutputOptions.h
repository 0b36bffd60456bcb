#pragma once
#include "cli/CommandLine.h"
#include <iosfwd>
#include <vector>

class CSettings;
struct PageWeight;

// What a build writes beyond the classic site follows the settings file;
// these options change it for one run: --classic switches all of it off,
// --hidpi, --webp and --phones (each "on" or "off") set one part, after
// --classic when both are given.
const std::vector<COptionSpec>& OutputOptions();
void ApplyOutputOptions(const CParsedCommand& command, CSettings& settings);

// The picture weight of the built pages, one line a page and the total,
// before and with the WebP twins. Nothing for a site without pictures.
void PrintPageWeights(const std::vector<PageWeight>& weights, std::ostream& out);
