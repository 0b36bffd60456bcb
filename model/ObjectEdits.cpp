#include "model/ObjectEdits.h"
#include "model/BackgroundFill.h"
#include "model/ButtonText.h"
#include "model/CharStyle.h"
#include "model/CounterObject.h"
#include "model/Effects.h"
#include "model/FormObject.h"
#include "model/ObjectFill.h"
#include "model/ObjectLink.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageProperties.h"
#include "model/ShapeObject.h"
#include "model/TextObject.h"
#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

namespace {
std::vector<CPageItem*> Selected(const CPage& page) {
    std::vector<CPageItem*> items;
    for (const auto& set : page.Sets())
        if (set->IsSelected())
            for (CPageItem* item : set->Items()) items.push_back(item);
    return items;
}

CRect AreaOf(const std::vector<CPageItem*>& items) {
    CRect area;
    for (const CPageItem* item : items) {
        area = UnionRect(area, item->Normal().GetRect());
        if (item->MouseOver()) area = UnionRect(area, item->MouseOver()->GetRect());
    }
    return area;
}

// Renders what a change made stale and repaints where the selection was and
// where it is now; the page's listeners (views, the inspector) follow.
class CShownChange {
public:
    explicit CShownChange(CPage& page) : m_page(page), m_items(Selected(page)), m_before(AreaOf(m_items)) {}
    void Finish() {
        for (CPageItem* item : m_items)
            if (CObjectSet* set = item->Set()) set->Recompute();
        m_page.RenderAll();
        m_page.Repaint(UnionRect(m_before, AreaOf(m_items)));
        m_page.SelectionChanged();
    }
    const std::vector<CPageItem*>& Items() const { return m_items; }

private:
    CPage& m_page;
    std::vector<CPageItem*> m_items;
    CRect m_before;
};

CTextObject* InspectedText(const CPage& page) {
    return dynamic_cast<CTextObject*>(InspectedObject(page));
}

bool Editable(const CPage& page) {
    return InspectedObject(page) != nullptr && !page.IsEditingText();
}

// Plain texts keep their link in their characters.
bool LinksInCharacters(const CPageObject& object) {
    const auto* text = dynamic_cast<const CTextObject*>(&object);
    return text && !text->Advanced();
}

CTextPos TextEnd(const CTextLayout& layout) {
    const int last = layout.ParagraphCount() - 1;
    return {last, static_cast<int>(layout.Paragraph(last).text.size())};
}

// The style of the first character (the one the windows show for the text).
const CCharStyle& FirstStyle(const CTextLayout& layout) {
    for (int p = 0; p < layout.ParagraphCount(); ++p)
        if (!layout.Paragraph(p).text.empty()) return layout.StyleAt(p, 0);
    return layout.defaultStyle;
}

// Every character of the text, and the style new characters take.
void RestyleWhole(CTextObject& text, const std::function<void(CCharStyle&)>& change) {
    CTextLayout& layout = text.Layout();
    layout.Restyle(CTextPos{}, TextEnd(layout), change);
    change(layout.defaultStyle);
    text.Invalidate();
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const std::size_t n = std::char_traits<char>::length(prefix);
    if (text.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}
} // namespace

CPageItem* InspectedItem(const CPage& page) {
    for (const auto& set : page.Sets())
        if (set->IsSelected() && set->Count() > 0) return set->Items().front();
    return nullptr;
}

CPageObject* InspectedObject(const CPage& page) {
    CPageItem* item = InspectedItem(page);
    return item ? &item->Current() : nullptr;
}

bool CanInspect(const CPage& page, EInspectorNeed need) {
    const CPageObject* object = InspectedObject(page);
    if (!object || page.IsEditingText()) return false;
    switch (need) {
    case EInspectorNeed::Object:
        return true;
    case EInspectorNeed::Effects:
        return object->CanHaveEffects();
    case EInspectorNeed::Fill: {
        const auto items = Selected(page);
        return std::all_of(items.begin(), items.end(), [](const CPageItem* item) {
            return item->Current().CanHaveEffects() && item->Current().CanHaveFill();
        });
    }
    case EInspectorNeed::Link:
        return object->CanHaveLink();
    case EInspectorNeed::MouseOver:
        return object->CanHaveMouseOver();
    case EInspectorNeed::ButtonText:
        return object->HasButtonText() && dynamic_cast<const CShapeObject*>(object) &&
               static_cast<const CShapeObject*>(object)->GetButtonText();
    }
    return false;
}

bool EditEffects(CPage& page, bool live, const std::function<void(CEffects&)>& change) {
    if (!CanInspect(page, EInspectorNeed::Effects)) return false;
    CEffects* inspected = InspectedObject(page)->GetEffects();
    if (!inspected) return false;
    CEffects probe(*inspected);
    change(probe);
    if (probe == *inspected) return false;
    if (!live) {
        // A switched-off effect draws nothing: the value waits in the record.
        change(*inspected);
        page.MarkModified();
        return true;
    }
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::Effects);
    for (CPageItem* item : shown.Items()) {
        CPageObject& object = item->Current();
        if (!object.CanHaveEffects() || !object.GetEffects()) continue;
        auto copy = std::make_unique<CEffects>(*object.GetEffects());
        change(*copy);
        object.SetEffects(std::move(copy));
        object.Invalidate();
    }
    shown.Finish();
    return true;
}

bool EditFill(CPage& page, const std::function<void(CObjectFill&)>& change) {
    if (!CanInspect(page, EInspectorNeed::Fill)) return false;
    const CObjectFill* inspected = InspectedObject(page)->GetFill();
    if (!inspected) return false;
    CObjectFill probe(*inspected);
    change(probe);
    if (probe == *inspected) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::Fill);
    for (CPageItem* item : shown.Items()) {
        CPageObject& object = item->Current();
        if (!object.GetFill()) continue;
        auto copy = std::make_unique<CObjectFill>(*object.GetFill());
        change(*copy);
        object.SetFill(std::move(copy));
        object.Invalidate();
    }
    shown.Finish();
    return true;
}

CObjectLink InspectedLink(const CPage& page) {
    const CPageObject* object = InspectedObject(page);
    if (!object) return {};
    if (LinksInCharacters(*object)) {
        const CTextLayout& layout = static_cast<const CTextObject*>(object)->Layout();
        if (layout.CharacterCount() > 0) return FirstStyle(layout).link;
    }
    return object->GetLink() ? *object->GetLink() : CObjectLink{};
}

bool LinkFitsRecord(const CObjectLink& link, CFailure* failure) {
    return TextFitsRecord(link.email, kMaxStringLength, "E-mail-adressen", failure) &&
           TextFitsRecord(link.url, kMaxStringLength, "Webadressen", failure) &&
           TextFitsRecord(link.document, kMaxStringLength, "Dokumentets navn", failure);
}

bool EditLink(CPage& page, const std::function<void(CObjectLink&)>& change, CFailure* failure) {
    if (!CanInspect(page, EInspectorNeed::Link)) return false;
    CPageItem& item = *InspectedItem(page);
    CObjectLink probe = InspectedLink(page);
    const CObjectLink before = probe;
    change(probe);
    if (probe == before) return false;
    if (!LinkFitsRecord(probe, failure)) return false;
    CShownChange shown(page);
    if (LinksInCharacters(item.Current())) {
        page.RecordUndo(EUndoKind::TextRecord);
        for (CPageObject* object : {&item.Normal(), item.MouseOver()}) {
            auto* text = dynamic_cast<CTextObject*>(object);
            if (!text) continue;
            RestyleWhole(*text, [&](CCharStyle& style) { change(style.link); });
        }
    } else {
        page.RecordUndo(EUndoKind::Link);
        for (CPageObject* object : {&item.Normal(), item.MouseOver()}) {
            if (!object || !object->GetLink()) continue;
            auto copy = std::make_unique<CObjectLink>(*object->GetLink());
            change(*copy);
            object->SetLink(std::move(copy));
        }
    }
    shown.Finish();
    return true;
}

bool EditButtonText(CPage& page, const std::function<void(CButtonText&)>& change,
                    CFailure* failure) {
    if (!CanInspect(page, EInspectorNeed::ButtonText)) return false;
    CPageItem& item = *InspectedItem(page);
    auto& shape = static_cast<CShapeObject&>(item.Current());
    CButtonText label(*shape.GetButtonText());
    change(label);
    if (label == *shape.GetButtonText()) return false;
    if (!TextFitsRecord(label.text, kMaxStringLength, "Knappens tekst", failure) ||
        !TextFitsRecord(label.font, kMaxStringLength, "Skrifttypens navn", failure))
        return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::ObjectRecord);
    shape.SetButtonText(label);
    shape.Invalidate();
    if (item.SyncTwins()) item.SynchroniseTwins();
    shown.Finish();
    return true;
}

bool EditAltText(CPage& page, const std::string& text, CFailure* failure) {
    if (!Editable(page)) return false;
    CPageObject& object = *InspectedObject(page);
    const std::string* now = object.GetAltText();
    if (!now || *now == text) return false;
    if (!TextFitsRecord(text, kMaxStringLength, "Den alternative tekst", failure)) return false;
    page.RecordUndo(EUndoKind::ObjectRecord);
    object.SetAltText(text);
    return true;
}

bool MoveInspectedTo(CPage& page, int32_t x, int32_t y) {
    if (!Editable(page)) return false;
    const DPOINT centre = InspectedObject(page)->GetCenter();
    const int32_t dx = x - static_cast<int32_t>(std::floor(centre.x + 0.5));
    const int32_t dy = y - static_cast<int32_t>(std::floor(centre.y + 0.5));
    if (dx == 0 && dy == 0) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::Move);
    for (const auto& set : page.Sets())
        if (set->IsSelected()) set->MoveBy(dx, dy);
    shown.Finish();
    return true;
}

bool TurnInspectedTo(CPage& page, double angle) {
    if (!Editable(page)) return false;
    CPageItem& item = *InspectedItem(page);
    CObjectSet* set = item.Set();
    if (!set || set->Count() != 1 || set->IsGroup() || !item.Current().CanRotate()) return false;
    if (std::abs(item.Current().GetAngle() - angle) < 1e-9) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::Move);
    item.Current().SetAngle(angle);
    if (CPageObject* twin = item.Other()) twin->SetAngle(angle);
    shown.Finish();
    return true;
}

CCharStyle InspectedTextStyle(const CPage& page) {
    const CTextObject* text = InspectedText(page);
    return text ? FirstStyle(text->Layout()) : DefaultCharStyle();
}

bool RestyleInspectedText(CPage& page, const std::function<void(CCharStyle&)>& change) {
    if (!Editable(page)) return false;
    CTextObject* text = InspectedText(page);
    if (!text) return false;
    const CTextLayout& layout = text->Layout();
    bool differs = false;
    for (int p = 0; p < layout.ParagraphCount() && !differs; ++p)
        for (std::size_t i = 0; i < layout.Paragraph(p).text.size() && !differs; ++i) {
            const CCharStyle& style = layout.StyleAt(p, static_cast<int>(i));
            CCharStyle probe = style;
            change(probe);
            differs = !(probe == style);
        }
    if (!differs) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::TextRecord);
    CPageItem& item = *InspectedItem(page);
    RestyleWhole(*text, change);
    if (item.SyncTwins()) item.SynchroniseTwins();
    shown.Finish();
    return true;
}

bool AlignInspectedText(CPage& page, int32_t alignment) {
    if (!Editable(page)) return false;
    CTextObject* text = InspectedText(page);
    if (!text || text->Layout().alignment == alignment) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::TextRecord);
    text->SetAlignment(alignment);
    CPageItem& item = *InspectedItem(page);
    if (item.SyncTwins()) item.SynchroniseTwins();
    shown.Finish();
    return true;
}

bool SetInspectedTextAdvanced(CPage& page, bool advanced) {
    if (!Editable(page)) return false;
    CTextObject* text = InspectedText(page);
    if (!text || text->Advanced() == advanced) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::TextConvert);
    text->SetAdvanced(advanced);
    CPageItem& item = *InspectedItem(page);
    if (item.SyncTwins()) item.SynchroniseTwins();
    // A picture text and an HTML text sit in different stacking bands.
    page.ItemsChanged();
    shown.Finish();
    return true;
}

bool SetInspectedCounterStyle(CPage& page, int32_t style) {
    if (!Editable(page)) return false;
    auto* counter = dynamic_cast<CCounterObject*>(InspectedObject(page));
    if (!counter || style < 0 || style >= CCounterObject::kStyleCount ||
        counter->GetCounterStyle() == style)
        return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::Move);
    counter->SetCounterStyle(style);
    shown.Finish();
    return true;
}

bool SetInspectedFormReceiver(CPage& page, const std::string& receiver) {
    if (!Editable(page)) return false;
    auto* form = dynamic_cast<CFormObject*>(InspectedObject(page));
    if (!form || form->GetReceiver() == receiver) return false;
    page.RecordUndo(EUndoKind::Move);
    form->SetReceiver(receiver);
    return true;
}

bool CanAddMouseOver(const CPage& page) {
    const CPageItem* item = InspectedItem(page);
    return item && !page.IsEditingText() && !item->HasMouseOver() &&
           item->Normal().CanHaveMouseOver();
}

bool AddInspectedMouseOver(CPage& page) {
    if (!CanAddMouseOver(page)) return false;
    CPageItem& item = *InspectedItem(page);
    std::unique_ptr<CPageObject> twin = item.Normal().Clone();
    if (!twin) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::AddMouseOver);
    item.AttachMouseOver(std::move(twin));
    shown.Finish();
    return true;
}

bool RemoveInspectedMouseOver(CPage& page) {
    if (!Editable(page)) return false;
    CPageItem& item = *InspectedItem(page);
    if (!item.HasMouseOver()) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::RemoveMouseOver);
    item.RemoveMouseOver();
    shown.Finish();
    return true;
}

bool EditInspectedTwin(CPage& page, bool twin) {
    if (!Editable(page)) return false;
    CPageItem& item = *InspectedItem(page);
    if (!item.HasMouseOver() || item.IsEditingMouseOver() == twin) return false;
    CShownChange shown(page);
    item.SetEditingMouseOver(twin);
    shown.Finish();
    return true;
}

bool SetInspectedMouseOverOffset(CPage& page, int32_t x, int32_t y) {
    if (!Editable(page)) return false;
    CPageItem& item = *InspectedItem(page);
    CPageObject* twin = item.MouseOver();
    if (!twin) return false;
    x = std::clamp(x, -CPageObject::kMaxOffset, CPageObject::kMaxOffset);
    y = std::clamp(y, -CPageObject::kMaxOffset, CPageObject::kMaxOffset);
    if (twin->GetOffsetX() == x && twin->GetOffsetY() == y) return false;
    CShownChange shown(page);
    page.RecordUndo(EUndoKind::MouseOverSettings);
    twin->SetOffsetX(x);
    twin->SetOffsetY(y);
    shown.Finish();
    return true;
}

bool SetInspectedSyncTwins(CPage& page, bool sync) {
    if (!Editable(page)) return false;
    CPageItem& item = *InspectedItem(page);
    if (item.SyncTwins() == sync) return false;
    CShownChange shown(page);
    page.RecordUndo(item.Normal().GetKind() == KIND_TEXT ? EUndoKind::TextRecord
                                                         : EUndoKind::MouseOverSettings);
    item.SetSyncTwins(sync);
    shown.Finish();
    return true;
}

std::string NormaliseWebAddress(const std::string& typed) {
    const auto first = typed.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = typed.find_last_not_of(" \t\r\n");
    std::string address = typed.substr(first, last - first + 1);
    if (StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "http:\\\\"))
        return address.substr(7);
    if (StartsWithNoCase(address, "http:/") || StartsWithNoCase(address, "http:\\"))
        return address.substr(6);
    return address;
}

bool EditPageBackground(CPage& page, const std::function<void(CBackgroundFill&)>& change) {
    auto copy = std::make_unique<CBackgroundFill>(page.Background());
    change(*copy);
    const CBackgroundFill& now = page.Background();
    if (copy->GetType() == now.GetType() && copy->GetColour() == now.GetColour() &&
        copy->GetImagePath() == now.GetImagePath() && copy->GetGradient() == now.GetGradient() &&
        copy->IsTiled() == now.IsTiled() && copy->IsHorizontal() == now.IsHorizontal())
        return false;
    page.RecordUndo(EUndoKind::PageProperties);
    page.SetBackground(std::move(copy));
    page.RenderAll();
    page.Repaint();
    return true;
}
