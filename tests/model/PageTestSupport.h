// A light page object for the page tests: a fixed box of any kind, so the
// stacking bands can be exercised before every object kind exists.
#pragma once
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include <memory>
#include <string>
#include <vector>

namespace pwtest {

class CBoxObject final : public CPageObject {
public:
    CBoxObject(ObjectKind kind, CRect rect, bool rendersAsImage = true)
        : m_kind(kind), m_asImage(rendersAsImage) {
        m_rect = rect;
        UpdateHandles();
    }
    DPOINT GetCenter() const override {
        return {(m_rect.left + m_rect.right) / 2.0, (m_rect.top + m_rect.bottom) / 2.0};
    }
    void SetCenter(DPOINT) override {}
    void MoveBy(int32_t dx, int32_t dy) override { ShiftRectAndHandles(dx, dy); }
    CObjectSize GetSize() const override { return {m_rect.Width(), m_rect.Height()}; }
    void DrawInto(int32_t, int32_t, CPixMap&, const CColor&) override {}
    CRect GetBounds(bool) const override { return m_rect; }
    CRect GetHandleBounds() const override { return m_rect; }
    bool RendersAsImage() const override { return m_asImage; }
    bool CanRotate() const override { return canRotate; }
    bool CanResize() const override { return canResize; }
    bool PrepareAndRender(CPixMap&) override {
        ++renders;
        return true;
    }
    void UpdateHandles() override {
        SetBoxHandles(GetCenter(), m_rect.Width(), m_rect.Height(), 0.0);
    }
    ObjectKind GetKind() const override { return m_kind; }
    int32_t EstimateBytes(double) const override { return 0; }
    void Save(CByteWriter&) const override {}
    std::unique_ptr<CPageObject> SnapshotGeometry() const override { return nullptr; }
    void Load(CByteReader&, const CStreamVersion&) override {}
    void SwapGeometry(CPageObject&) override {}

    bool canRotate = true;
    bool canResize = true;
    int renders = 0;

private:
    ObjectKind m_kind;
    bool m_asImage;
};

inline std::unique_ptr<CBoxObject> Box(CRect r, ObjectKind kind = KIND_ELLIPSE) {
    return std::make_unique<CBoxObject>(kind, r);
}

// A site with one page of the given size; the page is reached with Page().
struct CPageFixture {
    CSite site{"Test", CBackgroundFill(), 640, 480, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage* page;

    CPageFixture() : page(&site.AddPage(std::make_unique<CPage>(site, "Side1", "Test"))) {}
    CPage& Page() { return *page; }
    CCountingUndoRecorder& Undo() { return static_cast<CCountingUndoRecorder&>(page->History()); }
    // Items at the given rectangles, back to front, all of the ellipse kind.
    std::vector<CPageItem*> AddBoxes(const std::vector<CRect>& rects) {
        std::vector<CPageItem*> out;
        for (const CRect& r : rects)
            out.push_back(&page->InsertItem(Box(r)));
        return out;
    }
    std::vector<const CPageItem*> Order() const {
        std::vector<const CPageItem*> out;
        for (const auto& item : page->Items())
            out.push_back(item.get());
        return out;
    }
};

} // namespace pwtest
