#include "render/PageRenderer.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageObject.h"
#include "model/BackgroundFill.h"
#include "render/BackgroundPaint.h"
#include "render/Blend.h"
#include "services/Scale.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
constexpr int kTile = CPage::kTileSize;
constexpr uint8_t kGhostBackground = 190;
constexpr uint8_t kGhostItem = 140;

void FillRegion(uint8_t* buffer, int rowStep, int width, int height, uint8_t grey) {
    for (int y = 0; y < height; ++y) {
        uint8_t* p = buffer + static_cast<std::ptrdiff_t>(y) * rowStep;
        for (int x = 0; x < width; ++x, p += 4)
            p[0] = 255, p[1] = p[2] = p[3] = grey;
    }
}

// Lays the items over a region that already holds its start (background).
int CompositeItems(CPage& page, const CRect& region, uint8_t* buffer, int rowStep,
                   bool onlySelected, bool ghost, const CEditState& edit) {
    CPixMap& tile = page.TileBuffer();
    if (!tile.plane[0].data) return 0;
    const CColor background = page.Background().GetColour();
    int drawn = 0;
    for (const auto& holder : page.Items()) {
        const CPageItem& item = *holder;
        if (!page.IsDrawn(item, edit)) continue;
        if (onlySelected && !item.IsSelected()) continue;
        CPageObject& object = item.Current();
        const CRect rect = object.GetRect();
        const CRect part = rect.Intersect(region);
        if (part.IsEmpty()) continue;
        tile.width = part.Width();
        tile.height = part.Height();
        object.DrawInto(part.left - rect.left, part.top - rect.top, tile, background);
        const int tileRow = tile.plane[0].rowStep;
        if (ghost) {
            for (int y = 0; y < part.Height(); ++y) {
                uint8_t* p = tile.plane[0].data + static_cast<std::ptrdiff_t>(y) * tileRow;
                for (int x = 0; x < part.Width(); ++x, p += 4)
                    p[1] = p[2] = p[3] = kGhostItem;
            }
        }
        uint8_t* dst = buffer + static_cast<std::ptrdiff_t>(part.top - region.top) * rowStep +
                       4 * (part.left - region.left);
        BlendOver({dst, 4, rowStep}, {tile.plane[0].data, 4, tileRow}, part.Width(), part.Height());
        tile.width = kTile;
        tile.height = kTile;
        ++drawn;
    }
    return drawn;
}

void DropCaches(CPage& page) {
    page.Background().Invalidate();
    for (const auto& item : page.Items()) {
        item->Normal().ReleaseImage();
        if (CPageObject* twin = item->MouseOver()) twin->ReleaseImage();
    }
}

// An interleaved 8-bit map over caller memory.
CPixMap MapOver(uint8_t* data, IMAGE_MODE mode, int planes, int width, int height, int rowStep) {
    CPixMap map;
    map.width = width;
    map.height = height;
    map.mode = mode;
    map.planes = planes;
    map.bitsPerPlane = 8;
    map.interleaved = true;
    map.plane[0] = {data, planes, rowStep};
    return map;
}
} // namespace

int RenderRegion(CPage& page, const CRect& region, uint8_t* buffer, int rowStep,
                 const CRegionOptions& options) {
    if (!buffer || region.IsEmpty() || region.Width() > kTile || region.Height() > kTile) return 0;
    if (options.ghost)
        FillRegion(buffer, rowStep, region.Width(), region.Height(), kGhostBackground);
    else if (options.drawBackground)
        PaintBackground(page.Background(), region, buffer, rowStep);
    return CompositeItems(page, region, buffer, rowStep, options.onlySelected, options.ghost,
                          options.edit);
}

void ThumbnailSize(int pageWidth, int pageHeight, int maxWidth, int maxHeight, int& width,
                   int& height) {
    width = height = 0;
    if (pageWidth <= 0 || pageHeight <= 0 || maxWidth <= 0 || maxHeight <= 0) return;
    const double factor = std::max(static_cast<double>(pageWidth) / maxWidth,
                                   static_cast<double>(pageHeight) / maxHeight);
    width = std::max(1, static_cast<int>(pageWidth / factor));
    height = std::max(1, static_cast<int>(pageHeight / factor));
}

bool RenderThumbnail(CPage& page, int maxWidth, int maxHeight) {
    int outW = 0, outH = 0;
    ThumbnailSize(page.Width(), page.Height(), maxWidth, maxHeight, outW, outH);
    if (outW <= 0 || outH <= 0) return false;
    page.RenderAll();

    auto image = std::make_unique<CImage>(IMAGE_RGB8, outW, outH, 96.0);
    CScale scaler(outW, outH, page.Width(), page.Height(), true);
    if (!image->Bits() || !scaler.IsValid()) return false;
    const int outRow = static_cast<int>(image->RowBytes());

    int blockW = 0, blockH = 0;
    scaler.GetBlockSize(blockW, blockH);
    blockW = std::max(1, blockW);
    blockH = std::max(1, blockH);
    std::vector<uint8_t> argb, rgb; // grown as the source bands need
    const CPage& constPage = page;
    for (int y = 0; y < outH; y += blockH) {
        for (int x = 0; x < outW; x += blockW) {
            const CRect dstRect{x, y, std::min(outW, x + blockW), std::min(outH, y + blockH)};
            CRect src;
            if (!scaler.GetSrcRect(dstRect, src) || src.IsEmpty()) continue;
            // Room for the band plus 2 pixels each way, so that small
            // changes of the band size do not reallocate every time.
            const std::size_t need = static_cast<std::size_t>(src.Width() + 4) * (src.Height() + 4);
            if (argb.size() < 4 * need) argb.resize(4 * need);
            if (rgb.size() < 3 * need) rgb.resize(3 * need);
            const int argbRow = 4 * src.Width(), rgbRow = 3 * src.Width();
            for (int ty = src.top; ty < src.bottom; ty += kTile) {
                for (int tx = src.left; tx < src.right; tx += kTile) {
                    const CRect t{tx, ty, std::min(src.right, tx + kTile),
                                  std::min(src.bottom, ty + kTile)};
                    uint8_t* at = argb.data() +
                                  static_cast<std::ptrdiff_t>(ty - src.top) * argbRow +
                                  4 * (tx - src.left);
                    PaintBackground(constPage.Background(), t, at, argbRow);
                    CompositeItems(page, t, at, argbRow, false, false, CEditState{});
                }
            }
            for (int r = 0; r < src.Height(); ++r) {
                const uint8_t* s = argb.data() + static_cast<std::ptrdiff_t>(r) * argbRow;
                uint8_t* d = rgb.data() + static_cast<std::ptrdiff_t>(r) * rgbRow;
                for (int c = 0; c < src.Width(); ++c, s += 4, d += 3)
                    d[0] = s[1], d[1] = s[2], d[2] = s[3];
            }
            const CPixMap srcMap =
                MapOver(rgb.data(), IMAGE_RGB8, 3, src.Width(), src.Height(), rgbRow);
            CPixMap dstMap =
                MapOver(image->Bits() + static_cast<std::ptrdiff_t>(y) * outRow + 3 * x, IMAGE_RGB8,
                        3, dstRect.Width(), dstRect.Height(), outRow);
            if (!scaler.Transform(srcMap, dstMap)) return false;
        }
    }
    page.SetPageImage(std::move(image));
    if (!page.IsShown()) DropCaches(page);
    return true;
}

std::unique_ptr<CImage> RenderPreview(CPage& page, int maxWidth, int maxHeight) {
    if (!RenderThumbnail(page, maxWidth, maxHeight) || !page.PageImage()) return nullptr;
    return std::make_unique<CImage>(*page.PageImage());
}
