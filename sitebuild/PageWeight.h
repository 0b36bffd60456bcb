#pragma once
#include "sitebuild/BuildTypes.h"
#include "sitebuild/ImageOutput.h"
#include <filesystem>
#include <vector>

// The picture weight of each built page (see PageWeight), measured on the
// files as written into `filesFolder`. A URL of a picture outside the files
// folder (a counter's address) weighs nothing.
std::vector<PageWeight> MeasurePageWeights(const std::vector<BuildPage>& pages,
                                           const std::filesystem::path& filesFolder,
                                           const WebpTwins& twins);

// The weights of all pages together; the file name stays empty.
PageWeight TotalWeight(const std::vector<PageWeight>& weights);
