#pragma once
#include "sitebuild/BuildTypes.h"
#include <string>
#include <vector>

class CBuildWorker;
class CObjectLink;
class CPage;
class CSite;

// The accessibility report of a build: informative pictures without
// alternative text, links to pages or files that are not there, and text
// that stands too faintly against what is drawn below it.

// Whether a picture tells something, so that a reader needs words for it: a
// photo or other inserted picture, anything that links or changes under the
// mouse, a text or a labelled button. A plain shape of colour, gradient or
// texture is decoration and goes without.
bool NeedsAltText(const BuildItem& item);

// The findings about alternative texts and links of one page of a build
// (whose items have their altText), appended to `out`; links are checked
// against `site`'s pages and, for files, the disk (relative paths beside the
// site file).
void CheckPageTextsAndLinks(const CSite& site, const BuildPage& page, bool previewMode,
                            std::vector<CAccessFinding>& out);

// The finding of one link when it leads nowhere: a page index beyond the
// site, a document or a file: address that is not a file on disk.
bool CheckLink(const CObjectLink& link, const CSite& site, CAccessFinding& finding);

// Orders a page's findings bottom item first, kinds in their order (the
// contrast findings arrive from another thread).
void SortFindings(std::vector<CAccessFinding>& findings);

// The finding as one line for people (UTF-8), from the string table.
std::string DescribeFinding(const CAccessFinding& finding);
// The line above a report of `count` findings, or the one line that says
// nothing was found.
std::string DescribeReportHeading(std::size_t count);
