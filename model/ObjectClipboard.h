#pragma once
#include "services/Failure.h"
#include "services/Geometry.h"
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class CImage;
class CPage;
class CPageItem;

// What the designer puts on the clipboard and takes from it (and hands over
// when a selection is dragged to another page window), as bytes: the page
// side of cut, copy, paste and dropped files. The windowing side (formats,
// the system clipboard) is the editor's.
namespace pw::clipboard {

// The selection: set count, item count (int32 each), the set records, then
// for every selected item the index of its set (int32) and its item record,
// as the site file writes them. Empty when nothing is selected.
std::vector<uint8_t> CopyObjects(const CPage& page);

// Adds copied objects to the page as the new selection: page links are
// reset when the data may come from another site (`foreign`), kept within
// the site's pages otherwise; a set whose bounds miss `visible` moves to its
// centre. Records one insert step and repaints. Damaged data ends the paste
// with the failure; items read before stay on the page. Returns the number
// of items added.
int PasteObjects(CPage& page, const std::vector<uint8_t>& data, bool foreign,
                 const CRect& visible, CFailure* failure = nullptr);

// The page's background record.
std::vector<uint8_t> CopyBackground(const CPage& page);
// Takes a copied background for the page, sized to it, with one undo step.
bool PasteBackground(CPage& page, const std::vector<uint8_t>& data, CFailure* failure = nullptr);

// The item's picture composited over white (RGB, the size of its cached
// image), rendering the item first when it has none. Null when it cannot be
// drawn.
std::unique_ptr<CImage> PictureOverWhite(CPageItem& item, CPage& page);

// Where a picture of the size is centred around (cx, cy): whole pixels,
// plus a half for an odd side, so that its corners land on pixels.
DPOINT PictureCentre(int32_t cx, int32_t cy, int32_t width, int32_t height);

// A picture pasted from another program: a rectangle of its size holding
// it, centred in `visible`, selected alone, with one insert step.
CPageItem* PastePicture(CPage& page, std::unique_ptr<CImage> picture, const CRect& visible);

// Whether a dropped file is a picture the designer can load.
bool IsPictureFile(const std::filesystem::path& file);
// Dropped picture files: each centred at `at` and added to the selection; a
// file that does not load is reported through `loadError` (the others are
// still dropped). One insert step for all. Returns the number added.
int DropPictureFiles(CPage& page, const std::vector<std::filesystem::path>& files, DPOINT at,
                     const std::function<void(const std::filesystem::path&, int error)>& loadError);

} // namespace pw::clipboard
