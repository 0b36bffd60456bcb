#include "tests/support/PageReference.h"
#include "model/Page.h"
#include "render/PageRenderer.h"
#include <algorithm>
#include <vector>

namespace pwtest {

CImage RenderPageReference(CPage& page) {
    page.RenderAll();
    const int w = page.Width(), h = page.Height();
    CImage out(IMAGE_RGB8, w, h, 96.0);
    constexpr int kTile = 256;
    std::vector<uint8_t> tile(kTile * kTile * 4);
    for (int ty = 0; ty < h; ty += kTile)
        for (int tx = 0; tx < w; tx += kTile) {
            const CRect region{tx, ty, std::min(tx + kTile, w), std::min(ty + kTile, h)};
            RenderRegion(page, region, tile.data(), 4 * kTile);
            for (int y = 0; y < region.Height(); ++y)
                for (int x = 0; x < region.Width(); ++x) {
                    const uint8_t* s = tile.data() + (y * kTile + x) * 4 + 1; // after alpha
                    uint8_t* d = out.Bits() + (ty + y) * out.RowBytes() + 3 * (tx + x);
                    d[0] = s[0], d[1] = s[1], d[2] = s[2];
                }
        }
    return out;
}

} // namespace pwtest
