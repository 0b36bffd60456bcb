#pragma once
#include <cstdint>
#include <string>

class CPage;
class CSite;

// The texts of the main window's status panes, worked out from the model so
// that they can be checked without a window.
namespace pw::status {

// The size estimators are asked for bytes at this many pixels per byte.
inline constexpr double kPixelsPerByte = 4.13;
// Seconds per byte of the assumed line (about 3741 bytes per second).
inline constexpr double kSecondsPerByte = 0.00026730725364987323;

// Where the selection is: one item "x: %d  y:%d" (centre rounded half up), one
// ungrouped set "x: %d  y: %d" (middle of its bounds, integer division), one
// group "x: %d  y:%d" (its frame centre rounded half up); otherwise empty.
std::string PositionText(const CPage* page);
// While a guide is dragged: "y: %d" for a horizontal guide, "x: %d" for a vertical one.
std::string GuidePositionText(bool horizontal, int position);

// 200 bytes for the page, its background's estimate, and 200 bytes plus the
// object's own estimate for every item.
int64_t PageBytes(const CPage& page);
int64_t SiteBytes(const CSite& site);
int TransferSeconds(int64_t bytes);
// "%d sekunder / %d sekunder" for the page and the whole site; empty without a site.
std::string DownloadText(const CSite* site, const CPage* page);
// "Antal sider : %d"; empty without a site.
std::string PageCountText(const CSite* site);

} // namespace pw::status
