#include "model/TextObject.h"
#include "image/Image.h"
#include "model/ButtonTextDraw.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextClipboard.h"
#include <algorithm>
#include <cmath>

namespace {
// Rounds half up (toward positive infinity), as the box is placed on the page.
int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

int32_t Truncated(double v) {
    if (!(v < 2147483647.0)) return 2147483647;
    if (!(v > -2147483647.0)) return -2147483647;
    return static_cast<int32_t>(v);
}

// A side of the box scaled to the object: truncated, except that a product
// within rounding noise of a whole number is that number. The scale is kept
// as width / box width, and box width x (52 / box width) can come out a hair
// below 52; truncated, a text would lose a pixel each time it is laid out
// (and at every opening of its file).
int32_t ScaledSide(int32_t box, double scale) {
    const double v = box * scale;
    const double nearest = std::round(v);
    return std::fabs(v - nearest) < 1e-6 ? Truncated(nearest) : Truncated(v);
}

CRect Union(const CRect& a, const CRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Labels and twins work as soon as this file is part of a program; the text
// tool waits for InstallTextRendering.
const bool g_installed = (InstallTextHooks(), true);
} // namespace

CTextObject::CTextObject(DPOINT center, CObjectSize size, double angle)
    : CShapeObject(center, size, angle), m_layout(std::make_unique<CTextLayout>(this)) {
    (void)g_installed;
    m_layout->boxWidth = std::max(size.width, 1);
    m_layout->boxHeight = std::max(size.height, 1);
    // A new text shows the colours of its characters.
    m_fill->SetTextColour();
    RebuildOutline();
    UpdateHandles();
}

CTextObject::CTextObject(const CTextObject& other)
    : CShapeObject(other), m_scaleX(other.m_scaleX), m_scaleY(other.m_scaleY),
      m_drawScale(other.m_drawScale), m_layout(std::make_unique<CTextLayout>(*other.m_layout)) {
    m_layout->SetOwner(this);
    m_layout->drawScale = m_drawScale;
    RebuildOutline();
    UpdateHandles();
}

CTextObject::CTextObject(const CTextObject& other, GeometryOnly tag)
    : CShapeObject(other, tag), m_scaleX(other.m_scaleX), m_scaleY(other.m_scaleY),
      m_drawScale(other.m_drawScale), m_layout(std::make_unique<CTextLayout>(*other.m_layout)) {
    m_layout->SetOwner(this);
    m_layout->drawScale = m_drawScale;
    RebuildOutline();
    UpdateHandles();
}

CTextObject::~CTextObject() = default;

std::unique_ptr<CPageObject> CTextObject::SnapshotGeometry() const {
    return std::unique_ptr<CPageObject>(new CTextObject(*this, GeometryOnly{}));
}

void CTextObject::SwapGeometry(CPageObject& other) {
    auto* o = dynamic_cast<CTextObject*>(&other);
    if (!o || o == this) return;
    const DPOINT center = m_center;
    std::swap(m_size, o->m_size);
    std::swap(m_angle, o->m_angle);
    std::swap(m_scaleX, o->m_scaleX);
    std::swap(m_scaleY, o->m_scaleY);
    std::swap(m_layout->boxWidth, o->m_layout->boxWidth);
    std::swap(m_layout->boxHeight, o->m_layout->boxHeight);
    std::swap(m_altText, o->m_altText);
    for (CTextObject* text : {this, o}) {
        text->m_layout->Layout();
        text->MarkChanged();
    }
    SetCenter(o->m_center);
    o->SetCenter(center);
    for (CTextObject* text : {this, o}) {
        text->RebuildOutline();
        text->UpdateHandles();
        if (text->m_editing) text->m_rect = text->BoxRect();
    }
}

void CTextObject::ScaleBy(int scale) {
    if (scale == 1) return;
    m_drawScale *= scale;
    m_layout->drawScale = m_drawScale;
    m_layout->MarkDrawStale();
    CShapeObject::ScaleBy(scale);
}

std::unique_ptr<CPageObject> CTextObject::Clone() const {
    return std::unique_ptr<CPageObject>(new CTextObject(*this));
}

void CTextObject::BuildOutline(CPath& path) const {
    const double hw = (m_editing ? m_layout->boxWidth : m_size.width) / 2.0;
    const double hh = (m_editing ? m_layout->boxHeight : m_size.height) / 2.0;
    const double angle = m_editing ? 0.0 : m_angle;
    const DPOINT c = m_center;
    const DPOINT corners[4] = {
        {c.x - hw, c.y - hh}, {c.x + hw, c.y - hh}, {c.x + hw, c.y + hh}, {c.x - hw, c.y + hh}};
    for (int i = 0; i < 4; ++i) {
        const DPOINT p = RotateAbout(c, corners[i].x, corners[i].y, angle);
        if (i == 0)
            path.MoveTo(p.x, p.y);
        else
            path.LineTo(p.x, p.y);
    }
    path.Close();
}

void CTextObject::UpdateHandles() {
    if (m_editing)
        SetBoxHandles(m_center, m_layout->boxWidth, m_layout->boxHeight, 0.0);
    else
        CShapeObject::UpdateHandles();
}

CRect CTextObject::GetRect() const {
    if (m_dirty && !m_editing) {
        CRect r = RenderedBounds();
        r.Offset(m_mouseOverOffset.x, m_mouseOverOffset.y);
        return r;
    }
    return m_rect;
}

bool CTextObject::DrawsUpright() const {
    return m_editing || (m_angle == 0.0 && m_size.width == m_layout->boxWidth * m_drawScale &&
                         m_size.height == m_layout->boxHeight * m_drawScale);
}

CRect CTextObject::RenderedBounds() const {
    // An upright text is its box image set down at the rounded box corner; a
    // box on a half pixel would otherwise count one row or column more here
    // (the outline's extent) than the rendering gives, and a saved text
    // would come back from its file one pixel larger.
    if (DrawsUpright()) return BoxRect();
    return CShapeObject::RenderedBounds();
}

CObjectSize CTextObject::GetSize() const {
    if (m_editing) return {m_layout->boxWidth, m_layout->boxHeight};
    return m_size;
}

double CTextObject::GetAngle() const {
    return m_editing ? 0.0 : m_angle;
}

CRect CTextObject::BoxRect() const {
    const int32_t w = m_layout->boxWidth * m_drawScale;
    const int32_t h = m_layout->boxHeight * m_drawScale;
    const int left = RoundHalfUp(m_center.x - w / 2.0);
    const int top = RoundHalfUp(m_center.y - h / 2.0);
    return {left, top, left + w, top + h};
}

void CTextObject::SetSize(int32_t width, int32_t height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (m_editing) {
        const int32_t minW = Truncated(1.5 * m_layout->MinWidth() + 2);
        const int32_t minH = Truncated(1.5 * m_layout->MinHeight() + 2);
        m_layout->boxWidth = std::max(width, minW);
        m_layout->boxHeight = std::max(height, minH);
        LayoutText();
    } else {
        if (QualifiesAsHtmlText()) LayoutText();
        m_scaleX = static_cast<double>(width) / std::max(m_layout->boxWidth, 1);
        m_scaleY = static_cast<double>(height) / std::max(m_layout->boxHeight, 1);
        m_size = {width, height};
    }
    MarkChanged();
    RebuildOutline();
    UpdateHandles();
    if (m_editing) m_rect = BoxRect();
}

void CTextObject::SetAngle(double angle) {
    if (QualifiesAsHtmlText()) LayoutText();
    m_angle = angle;
    MarkChanged();
    RebuildOutline();
    UpdateHandles();
}

void CTextObject::SetAdvanced(bool advanced) {
    if (m_layout->advanced == advanced) return;
    m_layout->advanced = advanced;
    MarkChanged();
}

void CTextObject::SetAlignment(int32_t alignment) {
    m_layout->alignment = std::clamp(alignment, 0, 2);
    LayoutText();
}

void CTextObject::LayoutText() {
    const int32_t oldHeight = m_layout->boxHeight;
    const CRect oldBox = BoxRect();
    m_layout->Layout();
    FitToBox(oldHeight);
    AddChangedArea(Union(oldBox, BoxRect()));
}

void CTextObject::FitToBox(int32_t oldBoxHeight) {
    const int32_t change = m_layout->boxHeight - oldBoxHeight;
    // The top edge stays put: the text grows or shrinks downwards.
    if (change != 0) m_center.y += change * m_drawScale / 2.0;
    m_size = {std::max(ScaledSide(m_layout->boxWidth, m_scaleX), 0) * m_drawScale,
              std::max(ScaledSide(m_layout->boxHeight, m_scaleY), 0) * m_drawScale};
    MarkChanged();
    RebuildOutline();
    UpdateHandles();
    if (m_editing) {
        const int left = Truncated(m_center.x - m_layout->boxWidth / 2.0);
        const int top = Truncated(m_center.y - m_layout->boxHeight / 2.0);
        m_rect = {left, top, left + m_layout->boxWidth, top + m_layout->boxHeight};
    }
}

CRect CTextObject::TakeChangedArea() {
    const CRect area = m_changed;
    m_changed = {};
    return area;
}

void CTextObject::AddChangedArea(const CRect& area) {
    m_changed = Union(m_changed, area);
}

bool CTextObject::QualifiesAsHtmlText() const {
    if (m_effects && m_effects->AnyOn()) return false;
    if (m_scaleX != 1.0 || m_scaleY != 1.0 || m_angle != 0.0) return false;
    if (m_fill && m_fill->GetType() != CObjectFill::fillSolid &&
        m_fill->GetType() != CObjectFill::fillTextColour)
        return false;
    if (m_item && m_item->HasMouseOver()) return false;
    return m_altText.empty();
}

int32_t CTextObject::EstimateBytes(double pixelsPerByte) const {
    if (QualifiesAsHtmlText()) return Truncated(m_layout->CharacterCount() * 1.05 + 200);
    return CShapeObject::EstimateBytes(pixelsPerByte);
}

bool CTextObject::OnPageRemoved(int32_t pageIndex) {
    bool disabled = CShapeObject::OnPageRemoved(pageIndex);
    m_layout->ForEachStyle(
        [&](CCharStyle& style) { disabled = style.link.OnPageRemoved(pageIndex) || disabled; });
    return disabled;
}

void CTextObject::OnPageCountChanged(int32_t pageCount) {
    CShapeObject::OnPageCountChanged(pageCount);
    m_layout->ForEachStyle([&](CCharStyle& style) { style.link.OnPageCountChanged(pageCount); });
}

void CTextObject::OnPagesReset() {
    CShapeObject::OnPagesReset();
    m_layout->ForEachStyle([](CCharStyle& style) { style.link.OnPagesReset(); });
}

void CTextObject::CopyTextFrom(const CTextObject& other) {
    if (&other == this) return;
    // The box height before the copy is what the top edge is kept against;
    // taken after it, the twin would grow about its centre and its top edge
    // slip by half the change.
    const int32_t oldHeight = m_layout->boxHeight;
    const CRect oldBox = BoxRect();
    *m_layout = *other.m_layout;
    m_layout->Layout();
    FitToBox(oldHeight);
    AddChangedArea(Union(oldBox, BoxRect()));
}

void CTextObject::BeginEditing() {
    m_editing = true;
    m_editingState.caretVisible = true;
    m_editingState.MoveTo(*m_layout, m_editingState.caret);
    LayoutText();
}

bool CTextObject::EndEditing(bool recordUndo, CPage* page) {
    m_editing = false;
    m_editingState.caretVisible = false;
    m_editingState.anchor = m_editingState.caret;
    if (m_layout->CharacterCount() == 0) return false;
    if (m_isNew && recordUndo) {
        if (page) page->RecordUndo(EUndoKind::Insert);
        m_isNew = false;
    }
    m_size = {std::max(ScaledSide(m_layout->boxWidth, m_scaleX), 1),
              std::max(ScaledSide(m_layout->boxHeight, m_scaleY), 1)};
    RebuildOutline();
    UpdateHandles();
    Invalidate();
    if (m_fill) m_fill->Invalidate();
    if (m_effects) {
        m_effects->Invalidate();
        m_effects->ResetExtents();
    }
    if (page) {
        if (CPageItem* item = page->FindItem(*this)) {
            m_item = item;
            if (item->HasMouseOver() && item->SyncTwins()) {
                if (auto* twin = dynamic_cast<CTextObject*>(item->Other()))
                    twin->CopyTextFrom(*this);
            }
        }
    }
    return true;
}

void CTextObject::PlaceCaret(DPOINT point) {
    const CRect box = BoxRect();
    const int x = std::max(0, Truncated(point.x - box.left));
    const int y = std::max(0, Truncated(point.y - box.top));
    m_editingState.MoveTo(*m_layout, m_layout->HitTest(x, y));
}

std::vector<uint8_t> CTextObject::CopyRuns() const {
    return CopyTextRuns(*m_layout, m_editingState);
}

std::string CTextObject::CopyPlainText() const {
    return CopyTextPlain(*m_layout, m_editingState);
}

void CTextObject::PasteRuns(const std::vector<uint8_t>& data, bool foreign, int32_t pageCount) {
    PasteTextRuns(*m_layout, m_editingState, data, foreign, pageCount);
    LayoutText();
    m_editingState.caretVisible = m_editing;
}

bool FinishTextEditing(CPage& page, CTextObject& text) {
    const bool wasNew = text.IsNew();
    CPageItem* item = page.FindItem(text);
    // The insert step of a new text captures the selection: the text alone.
    if (wasNew && item && text.Layout().CharacterCount() > 0) page.SelectOnly(*item);
    if (text.EndEditing(true, &page)) return true;
    if (!item) return false;
    if (wasNew) {
        page.RemoveItem(*item); // dropped here: no step refers to it
        return false;
    }
    // A group member leaves its group first, so that the delete step takes
    // this text alone and not the whole group.
    if (CObjectSet* group = item->Set(); group && group->IsGroup()) {
        group->Remove(item);
        if (group->Count() == 0) page.RemoveSet(*group);
    }
    page.SelectOnly(*item);
    page.RecordUndo(EUndoKind::Delete);
    page.History().KeepRemoved(page.DeleteSelected());
    return false;
}

void InstallTextHooks() {
    CShapeObject::RenderHooks().drawLabel = [](const CShapeObject&, const CButtonText& label,
                                               CImage& texture) {
        return DrawButtonText(label, texture);
    };
    CPageItem::TextTwinCopyHook() = [](const CPageObject& from, CPageObject& to) {
        const auto* source = dynamic_cast<const CTextObject*>(&from);
        auto* target = dynamic_cast<CTextObject*>(&to);
        if (source && target) target->CopyTextFrom(*source);
    };
}

void InstallTextRendering() {
    InstallTextHooks();
    CPage::TextToolMaker() = [](DPOINT centre) -> std::unique_ptr<CPageObject> {
        auto text = std::make_unique<CTextObject>(centre, CObjectSize{1, 1}, 0.0);
        text->SetNew(true);
        text->BeginEditing();
        return text;
    };
}
