#pragma once
#include "image/PixMap.h"
#include "services/Geometry.h"
#include <atomic>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CImage;
class CPage;
class CPageItem;
class CPageObject;

// The fixed tile buffer of a build: 256 x 256 pixels of alpha, red, green,
// blue (row stride 1024 bytes) where a tile of the page is composed before
// its red, green and blue go straight into the output picture. Whatever the
// page size, a build draws through it and never holds a page-sized 32-bit
// buffer.
struct CBuildTiles {
    static constexpr int kSide = 256;
    static constexpr int kArgbRow = 4 * kSide;
    std::unique_ptr<uint8_t[]> argb{new uint8_t[kArgbRow * kSide]};
};

// The red, green, blue pixels of one rendered region (rows 3 * width bytes
// apart). The buffer only grows, so a build that renders a thousand regions
// allocates it a few times rather than a thousand.
class CRegionPixels {
public:
    void Resize(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::size_t RowBytes() const { return 3 * static_cast<std::size_t>(m_width); }
    uint8_t* Bits() { return m_data.get(); }
    const uint8_t* Bits() const { return m_data.get(); }
    // An IMAGE_RGB8 map over the pixels, for the encoder.
    CPixMap Map() const;

private:
    // Not cleared when it grows: a render writes every pixel of the region.
    std::unique_ptr<uint8_t[]> m_data;
    std::size_t m_capacity = 0;
    int m_width = 0;
    int m_height = 0;
};

// Renders rectangles of a page as the browser will see them behind and around
// one item: the background, then every drawn item back to front, with the
// one item shown in a chosen state.
class CRegionRenderer {
public:
    // `drawn[i]` tells whether page item i goes into images (see
    // IsDrawnInImages); items beyond the list are not drawn.
    CRegionRenderer(CBuildTiles& tiles, CPage& page, std::vector<bool> drawn);
    // The same with a scratch map of its own (256 x 256, alpha, red, green,
    // blue) instead of the page's: renderers on several threads may then
    // draw one page at once.
    CRegionRenderer(CBuildTiles& tiles, CPixMap& scratch, CPage& page, std::vector<bool> drawn);

    // While `*stop` is set, Render gives up between rows of tiles (false).
    void SetStopFlag(const std::atomic<bool>* stop) { m_stop = stop; }

    // Renders `region` (clipped to the page) into `out`, which takes the
    // clipped region's size; `item` is drawn as `state` instead of its
    // current object. False when the clipped region is empty.
    bool Render(const CRect& region, const CPageItem* item, CPageObject* state, CRegionPixels& out);

private:
    void ComposeTile(const CRect& tile, const CPageItem* item, CPageObject* state);
    CPageObject& ObjectOf(std::size_t index, const CPageItem* item, CPageObject* state) const;
    // Whether every pixel of the object's picture is fully opaque (asked once
    // per object and remembered).
    bool IsOpaque(const CPageObject& object, const CRect& rect);

    CBuildTiles& m_tiles;
    CPixMap* m_scratch = nullptr; // null: the page's own
    const std::atomic<bool>* m_stop = nullptr;
    CPage& m_page;
    std::vector<bool> m_drawn;
    std::unordered_map<const CPageObject*, bool> m_opaque;
};

// Brings both states of item `index` up to date, so that its rectangles,
// text layout and pictures are those the page shows; through the caller's
// scratch map, so that several items of a page can be brought up to date at
// once.
void RefreshItemForBuild(CPage& page, int index, CPixMap& scratch);
