#include "model/PageItem.h"
#include "model/ButtonText.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/ShapeObject.h"
#include "model/TextObject.h"
#include "model/ObjectFill.h"
#include <atomic>
#include <cassert>

namespace {
uint64_t NextItemId() {
    static std::atomic<uint64_t> next{1};
    return next++;
}
} // namespace

CPageItem::CPageItem(std::unique_ptr<CPageObject> normal, CPixMap* tileBuffer)
    : m_id(NextItemId()), m_normal(std::move(normal)), m_tileBuffer(tileBuffer) {
    assert(m_normal);
    TellOwner(*m_normal, this);
}

// A text decides whether it can be written as HTML text by looking at its
// item (a text with a mouse-over twin cannot), so texts learn which item
// holds them.
void CPageItem::TellOwner(CPageObject& object, const CPageItem* item) {
    if (auto* text = dynamic_cast<CTextObject*>(&object)) text->SetOwnerItem(item);
}

CPageItem::~CPageItem() = default;

CPageObject& CPageItem::Current() const {
    return (m_editingMouseOver && m_mouseOver) ? *m_mouseOver : *m_normal;
}

CPageObject* CPageItem::Other() const {
    if (!m_mouseOver) return nullptr;
    return m_editingMouseOver ? m_normal.get() : m_mouseOver.get();
}

void CPageItem::ReframeSet() {
    if (m_set) m_set->Recompute();
}

void CPageItem::SetEditingMouseOver(bool editing) {
    const bool was = m_editingMouseOver;
    m_editingMouseOver = editing && m_mouseOver != nullptr;
    if (m_editingMouseOver != was) ReframeSet();
}

void CPageItem::AttachMouseOver(std::unique_ptr<CPageObject> twin) {
    if (!twin) return;
    TellOwner(*twin, this);
    m_mouseOver = std::move(twin);
    m_hasMouseOver = true;
    m_editingMouseOver = true;
    ReframeSet();
}

std::unique_ptr<CPageObject> CPageItem::RemoveMouseOver() {
    const bool was = m_editingMouseOver;
    m_hasMouseOver = false;
    m_editingMouseOver = false;
    if (m_mouseOver) TellOwner(*m_mouseOver, nullptr);
    std::unique_ptr<CPageObject> twin = std::move(m_mouseOver);
    if (was) ReframeSet();
    return twin;
}

void CPageItem::SetMouseOverOffset(CPixelShift offset) {
    if (!m_mouseOver) return;
    m_mouseOver->SetOffsetX(offset.x);
    m_mouseOver->SetOffsetY(offset.y);
    if (m_editingMouseOver) ReframeSet();
}

void CPageItem::SetSyncTwins(bool sync) {
    m_syncTwins = sync;
    if (sync) SynchroniseTwins();
}

CPageItem::TextTwinCopy& CPageItem::TextTwinCopyHook() {
    static TextTwinCopy hook;
    return hook;
}

void CPageItem::SynchroniseTwins() {
    CPageObject* other = Other();
    if (!other) return;
    const CPageObject& current = Current();
    switch (current.GetKind()) {
    case KIND_TEXT:
        if (TextTwinCopyHook()) TextTwinCopyHook()(current, *other);
        break;
    case KIND_ELLIPSE:
    case KIND_RECT: {
        const auto* from = dynamic_cast<const CShapeObject*>(&current);
        auto* to = dynamic_cast<CShapeObject*>(other);
        if (!from || !to || !from->GetButtonText() || !to->GetButtonText()) return;
        // Only the caption travels: the twin keeps its own font and colours.
        CButtonText label = *to->GetButtonText();
        label.text = from->GetButtonText()->text;
        to->SetButtonText(label);
        break;
    }
    default:
        return;
    }
    RenderOther(*other);
}

void CPageItem::RenderOther(CPageObject& other) {
    other.Invalidate();
    if (m_tileBuffer) other.Render(CPage::MadeTileBuffer(*m_tileBuffer));
}

void CPageItem::MoveBy(int32_t dx, int32_t dy) {
    Current().MoveBy(dx, dy);
    if (CPageObject* other = Other()) other->MoveBy(dx, dy);
}

bool CPageItem::IsSelected() const {
    return m_set && m_set->IsSelected();
}

bool IsTopBandObject(const CPageObject& object) {
    switch (object.GetKind()) {
    case KIND_COUNTER:
    case KIND_FORM:
        return true;
    case KIND_RECT: {
        const CObjectFill* fill = object.GetFill();
        return fill && fill->IsAnimatedGif();
    }
    case KIND_TEXT:
        // A text drawn as a picture is an ordinary image; plain text goes to
        // the page as HTML and so belongs to the top band.
        return !object.RendersAsImage();
    default:
        return false;
    }
}
