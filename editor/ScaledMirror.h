#pragma once
#include "services/Geometry.h"
#include <cstdint>
#include <memory>
#include <vector>

class CPage;
class CPageItem;

// A page as a screen with `scale` device pixels to a page pixel shows it:
// a scaled copy of the page (CPage::ScaledCopy) kept in step with it item by
// item, so a page window on such a screen draws every shape, picture and
// letter at the screen's own resolution instead of enlarging the page's
// pixels.
//
// The page tells its windows what area to draw again, not which item
// changed. Before an area is drawn, Sync compares every item touching it
// with the state it was copied from (its saved bytes and which state it
// shows) and copies again those that differ; so a change costs a new copy
// of the items it touched, and an area nobody changed costs a comparison.
// Adding, removing or reordering items, a new size or background copy the
// whole page again (Invalidate; a background changed in place is noticed
// by its saved bytes too).
class CScaledMirror {
public:
    CScaledMirror(CPage& page, int scale);
    ~CScaledMirror();

    int Scale() const { return m_scale; }
    // Everything is copied again before the next drawing.
    void Invalidate() { m_copy.reset(); }
    // Brings the items of the page area `area` (page pixels) up to date;
    // the copy as a whole when it was invalidated. False when the page
    // cannot be copied (memory); the view then draws the page enlarged.
    bool Sync(const CRect& area);
    // The copy, `scale` times the page's size; null before a Sync.
    CPage* Copy() const { return m_copy.get(); }
    // How many items were copied again by Sync calls since the last full copy
    // (tests: an untouched area copies nothing).
    int Recopied() const { return m_recopied; }

private:
    // What an item of the copy was made from.
    struct CMark {
        const CPageItem* item = nullptr;
        bool mouseOver = false;
        CRect bounds; // page pixels, where its copy draws
        std::vector<uint8_t> bytes;
    };
    static CMark MarkOf(const CPageItem& item);
    std::vector<uint8_t> BackgroundBytes() const;
    // The saved bytes of the item's states moved back by (dx, dy): equal to
    // its mark when a move was all that changed.
    static std::vector<uint8_t> MovedBack(const CPageItem& item, int dx, int dy);
    bool CopyAll();
    bool SyncItems(const CRect& area);

    CPage& m_page;
    int m_scale;
    std::unique_ptr<CPage> m_copy;
    std::vector<CMark> m_marks;
    std::vector<uint8_t> m_background; // the saved background the copy has
    int m_recopied = 0;
};
