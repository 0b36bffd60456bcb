#pragma once
#include "sitebuild/BuildTypes.h"
#include <string>
#include <string_view>

class CPageObject;

// The words an item shows, for the alternative text of its picture: a text
// drawn as a picture says its text, a shape with a button label its label.
// Without them a screen reader meets a navigation button as a bare picture.

// Longest alternative text taken from an item's words, in characters; a
// longer text is cut at a word and ends in an ellipsis. Screen readers read
// a picture's text in one go, so a whole paragraph is no help there.
inline constexpr std::size_t kOwnWordsMaxLength = 150;

// Runs of spaces, tabs and line breaks become one space; the ends are
// trimmed; text beyond kOwnWordsMaxLength is cut (Windows-1252 bytes).
std::string CollapseWords(std::string_view text);

// The words the object shows: the paragraphs of a text drawn as a picture
// (not of an HTML text, whose words the browser has), or the label of a
// shape; collapsed and bounded. Empty when it shows none.
std::string OwnWords(const CPageObject& object);

// The alternative text the item's picture gets: the user's own text when
// there is one (in every build, as always); otherwise, outside the classic
// build, the item's own words. Empty when it has neither.
std::string AltTextFor(const BuildItem& item, bool classic);
