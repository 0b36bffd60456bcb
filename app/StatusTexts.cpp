#include "app/StatusTexts.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "services/StringTable.h"
#include <cmath>
#include <cstdio>

namespace pw::status {

namespace {

int RoundHalfUp(double value) {
    return static_cast<int>(std::floor(value + 0.5));
}

std::string Format(const char* pattern, int a, int b) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

// A solid colour is written as a style, not as a picture; a gradient is sent
// as a one-pixel strip across the page; a picture covers the page.
int64_t BackgroundBytes(const CBackgroundFill& fill) {
    double pixels = 0;
    switch (fill.GetType()) {
    case CBackgroundFill::fillImage:
        pixels = static_cast<double>(fill.GetWidth()) * fill.GetHeight();
        break;
    case CBackgroundFill::fillGradient:
        pixels = fill.IsHorizontal() ? fill.GetWidth() : fill.GetHeight();
        break;
    default:
        break;
    }
    return static_cast<int64_t>(pixels / kPixelsPerByte);
}

} // namespace

std::string PositionText(const CPage* page) {
    if (!page) return {};
    CObjectSet* set = page->SingleSelectedSet();
    if (!set || set->Count() == 0) return {};
    if (set->IsGroup()) {
        const DPOINT centre = set->Centre();
        return Format("x: %d  y:%d", RoundHalfUp(centre.x), RoundHalfUp(centre.y));
    }
    if (set->Count() == 1) {
        const DPOINT centre = set->Items().front()->Current().GetCenter();
        return Format("x: %d  y:%d", RoundHalfUp(centre.x), RoundHalfUp(centre.y));
    }
    const CRect& bounds = set->Bounds();
    return Format("x: %d  y: %d", (bounds.left + bounds.right) / 2,
                  (bounds.top + bounds.bottom) / 2);
}

std::string GuidePositionText(bool horizontal, int position) {
    return (horizontal ? "y: " : "x: ") + std::to_string(position);
}

int64_t PageBytes(const CPage& page) {
    int64_t bytes = 200 + BackgroundBytes(page.Background());
    for (const auto& item : page.Items())
        bytes += 200 + item->Current().EstimateBytes(kPixelsPerByte);
    return bytes;
}

int64_t SiteBytes(const CSite& site) {
    int64_t bytes = 0;
    for (const auto& page : site.Pages()) bytes += PageBytes(*page);
    return bytes;
}

int TransferSeconds(int64_t bytes) {
    return static_cast<int>(static_cast<double>(bytes) * kSecondsPerByte);
}

std::string DownloadText(const CSite* site, const CPage* page) {
    if (!site) return {};
    const std::string& seconds = CStringTable::Get(IDS_SECONDS);
    const int pageSeconds = page ? TransferSeconds(PageBytes(*page)) : 0;
    return std::to_string(pageSeconds) + ' ' + seconds + " / " +
           std::to_string(TransferSeconds(SiteBytes(*site))) + ' ' + seconds;
}

std::string PageCountText(const CSite* site) {
    if (!site) return {};
    return "Antal sider : " + std::to_string(site->PageCount());
}

} // namespace pw::status
