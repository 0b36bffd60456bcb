#include "build/RegionRenderer.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageObject.h"
#include "render/BackgroundFill.h"
#include "render/BackgroundPaint.h"
#include "render/Blend.h"
#include <algorithm>
#include <cstring>

CRegionRenderer::CRegionRenderer(CBuildTiles& tiles, CPage& page, std::vector<bool> drawn)
    : m_tiles(tiles), m_page(page), m_drawn(std::move(drawn)) {}

void CRegionRenderer::ComposeTile(const CRect& tile, const CPageItem* item, CPageObject* state) {
    uint8_t* argb = m_tiles.argb.get();
    const int row = CBuildTiles::kArgbRow;
    PaintBackground(m_page.Background(), tile, argb, row);
    // Objects draw themselves through the page's own 256 x 256 scratch map.
    CPixMap& scratch = m_page.TileBuffer();
    if (!scratch.plane[0].data) return;
    const CColor background = m_page.Background().GetColour();
    const auto& items = m_page.Items();
    for (std::size_t i = 0; i < items.size() && i < m_drawn.size(); ++i) {
        if (!m_drawn[i]) continue;
        const CPageItem& current = *items[i];
        CPageObject& object = &current == item && state ? *state : current.Current();
        const CRect rect = object.GetRect();
        const CRect part = rect.Intersect(tile);
        if (part.IsEmpty()) continue;
        scratch.width = part.Width();
        scratch.height = part.Height();
        object.DrawInto(part.left - rect.left, part.top - rect.top, scratch, background);
        uint8_t* dst = argb + static_cast<std::ptrdiff_t>(part.top - tile.top) * row +
                       4 * (part.left - tile.left);
        BlendOver({dst, 4, row}, {scratch.plane[0].data, 4, scratch.plane[0].rowStep}, part.Width(),
                  part.Height());
    }
    scratch.width = CPage::kTileSize;
    scratch.height = CPage::kTileSize;
}

bool CRegionRenderer::Render(const CRect& region, const CPageItem* item, CPageObject* state,
                             CImage& out) {
    const CRect r = region.Intersect({0, 0, m_page.Width(), m_page.Height()});
    if (r.IsEmpty() || !out.Bits() || out.Width() < r.Width() || out.Height() < r.Height())
        return false;
    const int side = CBuildTiles::kSide;
    const std::size_t outRow = out.RowBytes();
    for (int ty = r.top; ty < r.bottom; ty += side) {
        for (int tx = r.left; tx < r.right; tx += side) {
            const CRect tile{tx, ty, std::min(r.right, tx + side), std::min(r.bottom, ty + side)};
            ComposeTile(tile, item, state);
            const int w = tile.Width(), h = tile.Height();
            for (int y = 0; y < h; ++y) {
                const uint8_t* s =
                    m_tiles.argb.get() + static_cast<std::ptrdiff_t>(y) * CBuildTiles::kArgbRow;
                uint8_t* d =
                    m_tiles.rgb.get() + static_cast<std::ptrdiff_t>(y) * CBuildTiles::kRgbRow;
                for (int x = 0; x < w; ++x, s += 4, d += 3)
                    d[0] = s[1], d[1] = s[2], d[2] = s[3];
            }
            uint8_t* target = out.Bits() + static_cast<std::size_t>(ty - r.top) * outRow +
                              3 * static_cast<std::size_t>(tx - r.left);
            for (int y = 0; y < h; ++y)
                std::memcpy(target + static_cast<std::size_t>(y) * outRow,
                            m_tiles.rgb.get() +
                                static_cast<std::ptrdiff_t>(y) * CBuildTiles::kRgbRow,
                            3 * static_cast<std::size_t>(w));
        }
    }
    return true;
}

void RefreshPageForBuild(CPage& page) {
    page.Background().Render();
    CPixMap& work = page.TileBuffer();
    for (const auto& item : page.Items()) {
        item->Normal().PrepareAndRender(work);
        if (CPageObject* twin = item->MouseOver()) twin->PrepareAndRender(work);
    }
}
