#pragma once
#include "sitebuild/BuildTypes.h"
#include "services/Geometry.h"
#include <string>

class CPage;
class CPageItem;
class CPageObject;
class CTextObject;

// The decisions the build takes about a page before anything is drawn: which
// items are built, which texts go out as HTML text and where they sit, where
// counters sit, and which mouse-over items would be covered by others.

// Per-page step of a progress phase of `weight` units spread over `pages`
// pages: weight / pages rounded half up, at least 1.
int ProgressStep(int weight, int pages);

// A BuildPage for the page at `position`: its items whose rectangle meets the
// page (bottom first, each with its z-index), its key and file names.
BuildPage MakeBuildPage(const CPage& page, int position, bool frontPage);

// "Side<position>.html".
std::string PageFileName(int position);

// The page rectangle (0, 0, width, height).
CRect PageRect(const CPage& page);

// The text can go to the page as HTML text by itself (not advanced, nothing
// that HTML cannot show, no mouse-over twin).
bool CanBeHtmlText(const CPageItem& item);

// Walks the items from the top down and decides htmlText for every text item:
// a text stays HTML text unless a later item that is neither an HTML text nor
// an upright, effect-free rectangle or picture lies over it. HTML texts get
// their position from the laid-out text, counters (outside preview builds)
// theirs from their box.
void DecideTextsAndCounters(BuildPage& page, bool previewMode);

// Left, top, width and height of an HTML text as the browser places it.
void HtmlTextPosition(const CTextObject& text, BuildItem& out);

// Index into page.items of the first mouse-over item that a later item other
// than an HTML text overlaps; -1 when there is none.
int FirstOverlappedMouseOver(const BuildPage& page);

// True when an item later than page.items[index] that is not an HTML text
// meets `rect`.
bool IsOverlapped(const BuildPage& page, int index, const CRect& rect);

// Whether the item gets a picture of its own: HTML texts, HTML code, forms
// and counters of non-preview builds are written as HTML instead.
bool IsImageItem(const BuildItem& item, bool previewMode);

// Whether the item is drawn into the images of the page: HTML texts, HTML
// code, forms, counters of non-preview builds and animated GIF pictures are
// left to the browser.
bool IsDrawnInImages(const BuildItem& item, bool previewMode);

// A rectangle with an animated GIF picture file, copied unchanged.
bool IsAnimatedGifPicture(const CPageObject& object);

// Case-insensitive test of the end of a file name.
bool EndsWithNoCase(const std::string& text, const std::string& suffix);
