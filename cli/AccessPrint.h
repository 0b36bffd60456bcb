#pragma once
#include "sitebuild/BuildTypes.h"
#include <ostream>
#include <vector>

// The accessibility report after a build or export: a heading and one
// indented line per finding, or the one line that says nothing was found.
void PrintAccessReport(const std::vector<CAccessFinding>& findings, std::ostream& out);
