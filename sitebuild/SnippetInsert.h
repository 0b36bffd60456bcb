#pragma once
#include "sitebuild/Snippet.h"
#include <string>
#include <string_view>
#include <vector>

class CHtmlObject;

// Replaces, for every parameter in order, every occurrence of its
// placeholder by its value (`#rrggbb` for colours). Text that came from a
// value is never searched again, so a value that happens to contain another
// parameter's placeholder stays as the user typed it. Parameters with an
// empty placeholder replace nothing.
std::string SubstituteParameters(std::string_view code,
                                 const std::vector<CSnippetParameter>& parameters);

// The code between begin and end comments naming the snippet, as it goes
// into the page; empty code stays empty (no comments without code).
std::string WrapSnippetCode(const CSnippet& snippet, const std::string& code);

// Fills an HTML object from a snippet with the parameter values the user
// chose: onload code unchanged, header and body code substituted and
// wrapped, used files from the snippet's file list. The caller records the
// undo step first, as for any other change of the object.
void InsertSnippet(const CSnippet& snippet, CHtmlObject& object);
