#include "editor/ScaledMirror.h"
#include "model/BackgroundFill.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageObject.h"
#include "model/PageScale.h"
#include "model/UndoSnapshots.h"
#include "services/ByteWriter.h"
#include <new>

CScaledMirror::CScaledMirror(CPage& page, int scale) : m_page(page), m_scale(scale) {}

CScaledMirror::~CScaledMirror() = default;

CScaledMirror::CMark CScaledMirror::MarkOf(const CPageItem& item) {
    CMark mark;
    mark.item = &item;
    mark.mouseOver = &item.Current() != &item.Normal();
    mark.bounds = item.GetRect();
    // The saved form holds everything that decides the item's look: its
    // geometry, fill, effects, text and both states.
    CByteWriter writer;
    item.Normal().Save(writer);
    if (const CPageObject* twin = item.MouseOver()) twin->Save(writer);
    mark.bytes = writer.Data();
    return mark;
}

std::vector<uint8_t> CScaledMirror::BackgroundBytes() const {
    CByteWriter writer;
    m_page.Background().Save(writer);
    return writer.Data();
}

std::vector<uint8_t> CScaledMirror::MovedBack(const CPageItem& item, int dx, int dy) {
    CByteWriter writer;
    const CPageObject* states[] = {&item.Normal(), item.MouseOver()};
    for (const CPageObject* state : states) {
        if (!state) continue;
        std::unique_ptr<CPageObject> back = CopyObject(*state);
        if (!back) return {};
        back->MoveBy(-dx, -dy);
        back->Save(writer);
    }
    return writer.Data();
}

bool CScaledMirror::CopyAll() {
    m_recopied = 0;
    m_marks.clear();
    m_copy = pw::ScaledPageCopy(m_page, m_scale);
    if (!m_copy) return false;
    try {
        m_copy->RenderAll();
        m_background = BackgroundBytes();
        m_marks.reserve(m_page.Items().size());
        for (const auto& item : m_page.Items())
            m_marks.push_back(MarkOf(*item));
    } catch (const std::bad_alloc&) {
        m_copy.reset();
        return false;
    }
    return true;
}

bool CScaledMirror::Sync(const CRect& area) {
    try {
        return SyncItems(area);
    } catch (const std::bad_alloc&) {
        // A larger copy than memory allows: the view draws the page at 1.
        m_copy.reset();
        return false;
    }
}

bool CScaledMirror::SyncItems(const CRect& area) {
    const auto& items = m_page.Items();
    if (!m_copy || m_marks.size() != items.size() || BackgroundBytes() != m_background)
        return CopyAll();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CPageItem& item = *items[i];
        CMark& mark = m_marks[i];
        // A different item in this place: items came or went unannounced.
        if (mark.item != &item) return CopyAll();
        const CRect now = item.GetRect();
        if (now.Intersect(area).IsEmpty() && mark.bounds.Intersect(area).IsEmpty()) continue;
        CMark fresh = MarkOf(item);
        if (fresh.mouseOver == mark.mouseOver && fresh.bytes == mark.bytes &&
            fresh.bounds == mark.bounds)
            continue;
        // A drag only moves: the copy's picture moves along (as the page's
        // own does) instead of being drawn again at the larger size.
        const int dx = fresh.bounds.left - mark.bounds.left;
        const int dy = fresh.bounds.top - mark.bounds.top;
        if (fresh.mouseOver == mark.mouseOver && (dx || dy) &&
            fresh.bounds.Width() == mark.bounds.Width() &&
            fresh.bounds.Height() == mark.bounds.Height() && MovedBack(item, dx, dy) == mark.bytes) {
            m_copy->Items()[i]->MoveBy(dx * m_scale, dy * m_scale);
            mark = std::move(fresh);
            continue;
        }
        if (!m_copy->ReplaceScaledItem(i, item, m_scale)) return CopyAll();
        m_copy->Items()[i]->Current().PrepareAndRender(m_copy->TileBuffer());
        mark = std::move(fresh);
        ++m_recopied;
    }
    return true;
}
