#include "model/Page.h"
#include "image/Image.h"
#include "model/EllipseObject.h"
#include "services/Growable.h"
#include "model/ObjectSet.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include <algorithm>
#include <unordered_map>

CCountingUndoRecorder::~CCountingUndoRecorder() = default;

void CCountingUndoRecorder::KeepRemoved(std::vector<std::unique_ptr<CPageItem>> items) {
    for (auto& item : items)
        m_kept.push_back(std::move(item));
}

CPage::HistoryFactory& CPage::HistoryMaker() {
    static HistoryFactory maker;
    return maker;
}

CPage::ToolObjectMaker& CPage::TextToolMaker() {
    static ToolObjectMaker maker;
    return maker;
}

CPage::CPage(CSite& site, std::string identifier, std::string webName)
    : m_site(&site), m_identifier(std::move(identifier)), m_webName(std::move(webName)),
      m_width(site.defaultWidth), m_height(site.defaultHeight),
      m_background(std::make_unique<CBackgroundFill>(site.DefaultFill())) {
    m_background->SetWidth(m_width);
    m_background->SetHeight(m_height);
    if (HistoryMaker()) m_history = HistoryMaker()(*this, kUndoSteps);
    if (!m_history) m_history = std::make_unique<CCountingUndoRecorder>();
}

CPage::~CPage() {
    // Sets point at items and items at sets: let the sets go first.
    m_sets.clear();
    m_items.clear();
}

CPixMap& CPage::TileBuffer() {
    return MadeTileBuffer(m_tileBuffer);
}

CPixMap& CPage::MadeTileBuffer(CPixMap& buffer) {
    // Made on first use: a site of many pages (500 pages hold 128 MB of
    // them) does not hold a buffer for every page that never draws anything.
    if (buffer.width == 0) buffer = CPixMap(WithAlpha(IMAGE_RGB8), kTileSize, kTileSize);
    return buffer;
}

void CPage::SetPageImage(std::unique_ptr<CImage> image) {
    m_pageImage = std::move(image);
}

void CPage::MarkModified() {
    m_saved = false;
    m_site->MarkModified();
}

void CPage::SetIdentifier(std::string identifier) {
    m_identifier = std::move(identifier);
    MarkModified();
    PropertiesChanged();
}

void CPage::SetWebName(std::string webName) {
    m_webName = std::move(webName);
    MarkModified();
    PropertiesChanged();
}

void CPage::SetHeadHtml(std::string headerHtml, std::string onloadCode,
                        std::vector<std::string> usedFiles) {
    m_headerHtml = std::move(headerHtml);
    m_onloadCode = std::move(onloadCode);
    m_usedFiles = std::move(usedFiles);
    MarkModified();
    PropertiesChanged();
}

void CPage::SetWidth(int32_t width) {
    m_width = width;
    m_background->SetWidth(width);
    m_observers.ForEach([this](CPageObserver& o) { o.OnPageSizeChanged(*this); });
    Repaint();
    MarkModified();
}

void CPage::SetHeight(int32_t height) {
    m_height = height;
    m_background->SetHeight(height);
    m_observers.ForEach([this](CPageObserver& o) { o.OnPageSizeChanged(*this); });
    Repaint();
    MarkModified();
}

std::unique_ptr<CBackgroundFill> CPage::SetBackground(std::unique_ptr<CBackgroundFill> fill) {
    if (!fill) return nullptr;
    fill->SetWidth(m_width);
    fill->SetHeight(m_height);
    std::swap(fill, m_background);
    MarkModified();
    PropertiesChanged();
    return fill;
}

void CPage::SetProperties(std::string identifier, std::string webName, std::string headerHtml,
                          int32_t width, int32_t height) {
    m_identifier = std::move(identifier);
    m_webName = std::move(webName);
    m_headerHtml = std::move(headerHtml);
    if (width != m_width) SetWidth(width);
    if (height != m_height) SetHeight(height);
    MarkModified();
    PropertiesChanged();
}

void CPage::SetHistory(std::unique_ptr<CUndoRecorder> history) {
    if (history) m_history = std::move(history);
}

void CPage::RecordUndo(EUndoKind kind) {
    m_history->Record(kind);
    m_publishPending = true;
    MarkModified();
}

void CPage::Repaint(const CRect& area) const {
    auto& self = const_cast<CPage&>(*this);
    m_observers.ForEach([&](CPageObserver& o) { o.OnPageRepaint(self, area); });
}

void CPage::ItemsChanged() {
    m_observers.ForEach([this](CPageObserver& o) { o.OnItemsChanged(*this); });
}

void CPage::SelectionChanged() const {
    auto& self = const_cast<CPage&>(*this);
    m_observers.ForEach([&](CPageObserver& o) { o.OnSelectionChanged(self); });
}

void CPage::PropertiesChanged() {
    m_observers.ForEach([this](CPageObserver& o) { o.OnPagePropertiesChanged(*this); });
    m_site->PageRenamed(*this);
}

bool CPage::IsShown() const {
    return m_observers.Any([this](const CPageObserver& o) { return o.ShowsPage(*this); });
}

CPageObject* CPage::EditedText() const {
    for (const auto& item : m_items) {
        CPageObject& object = item->Current();
        if (object.GetKind() == KIND_TEXT && static_cast<CTextObject&>(object).IsEditing())
            return &object;
    }
    return nullptr;
}

// ---------------------------------------------------------------- guides

std::vector<int32_t>& CPage::GuideArray(bool horizontal) {
    return horizontal ? m_horizontalGuides : m_verticalGuides;
}

const std::vector<int32_t>& CPage::Guides(bool horizontal) const {
    return horizontal ? m_horizontalGuides : m_verticalGuides;
}

bool CPage::AddGuide(bool horizontal, int32_t position) {
    std::vector<int32_t>& guides = GuideArray(horizontal);
    if (static_cast<int>(guides.size()) >= kMaxGuides) return false;
    ReserveOneMore(guides);
    guides.insert(std::upper_bound(guides.begin(), guides.end(), position), position);
    return true;
}

void CPage::RemoveGuide(bool horizontal, int index) {
    std::vector<int32_t>& guides = GuideArray(horizontal);
    if (index < 0 || index >= static_cast<int>(guides.size())) return;
    guides.erase(guides.begin() + index);
}

int CPage::GuideCount(bool horizontal) const {
    return static_cast<int>(Guides(horizontal).size());
}

int32_t CPage::GuideAt(bool horizontal, int index) const {
    return Guides(horizontal).at(static_cast<std::size_t>(index));
}

void CPage::SetGuideAt(bool horizontal, int index, int32_t value) {
    std::vector<int32_t>& guides = GuideArray(horizontal);
    if (index < 0 || index >= static_cast<int>(guides.size())) return;
    guides[static_cast<std::size_t>(index)] = value;
}

void CPage::ClearGuides() {
    m_horizontalGuides.clear();
    m_verticalGuides.clear();
}

void CPage::SortGuides() {
    std::sort(m_horizontalGuides.begin(), m_horizontalGuides.end());
    std::sort(m_verticalGuides.begin(), m_verticalGuides.end());
}

// ---------------------------------------------------------------- items

int CPage::TopBandStart() const {
    int b = ItemCount();
    while (b > 0 && IsTopBandObject(ItemAt(b - 1).Normal()))
        --b;
    return b;
}

CPageItem& CPage::InsertItem(std::unique_ptr<CPageObject> object) {
    return InsertItem(std::make_unique<CPageItem>(std::move(object), &m_tileBuffer));
}

CPageItem& CPage::InsertItem(std::unique_ptr<CPageItem> item) {
    item->SetTileBuffer(&m_tileBuffer);
    const int at = IsTopBandObject(item->Normal()) ? ItemCount() : TopBandStart();
    ReserveOneMore(m_items);
    auto it = m_items.insert(m_items.begin() + at, std::move(item));
    ItemsChanged();
    Repaint((*it)->GetRect());
    MarkModified();
    return **it;
}

CPageItem* CPage::CreateFromTool(ETool tool, DPOINT point) {
    const DPOINT centre{point.x - 0.5, point.y - 0.5};
    std::unique_ptr<CPageObject> object;
    switch (tool) {
    case ETool::Text:
        if (TextToolMaker()) object = TextToolMaker()(centre);
        break;
    case ETool::Rectangle:
        object = std::make_unique<CRectObject>(centre, CObjectSize{1, 1});
        break;
    case ETool::Circle:
        object = std::make_unique<CEllipseObject>(centre, CObjectSize{1, 1});
        break;
    default:
        break;
    }
    if (!object) return nullptr;
    CPageItem& item = InsertItem(std::move(object));
    SelectOnly(item);
    // The insert step captures the new selection, so it is taken after it. A
    // new text takes its step when its editing ends with characters (see
    // FinishTextEditing): an empty one leaves again without a trace.
    if (tool != ETool::Text) RecordUndo(EUndoKind::Insert);
    Repaint(item.GetRect());
    return &item;
}

std::unique_ptr<CPageItem> CPage::RemoveItem(CPageItem& item) {
    const int index = IndexOf(item);
    if (index < 0) return nullptr;
    if (CObjectSet* set = item.Set()) {
        set->Remove(&item);
        DropEmptySet(set);
    }
    const CRect area = item.GetRect();
    std::unique_ptr<CPageItem> out = std::move(m_items[static_cast<std::size_t>(index)]);
    m_items.erase(m_items.begin() + index);
    MarkModified();
    ItemsChanged();
    Repaint(area);
    return out;
}

std::unique_ptr<CPageItem> CPage::PutItemAt(int index, std::unique_ptr<CPageItem> item) {
    if (!item) return nullptr;
    item->SetTileBuffer(&m_tileBuffer);
    if (index < 0 || index >= ItemCount()) {
        ReserveOneMore(m_items);
        m_items.push_back(std::move(item));
        return nullptr;
    }
    std::swap(m_items[static_cast<std::size_t>(index)], item);
    return item;
}

void CPage::MoveItemTo(CPageItem& item, int index) {
    const int from = IndexOf(item);
    if (from < 0) return;
    std::unique_ptr<CPageItem> held = std::move(m_items[static_cast<std::size_t>(from)]);
    m_items.erase(m_items.begin() + from);
    index = std::clamp(index, 0, ItemCount());
    m_items.insert(m_items.begin() + index, std::move(held));
}

int CPage::IndexOf(const CPageItem& item) const {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == &item) return static_cast<int>(i);
    return -1;
}

CPageItem* CPage::FindItem(const CPageObject& object) const {
    for (const auto& item : m_items)
        if (&item->Current() == &object) return item.get();
    return nullptr;
}

CPageItem* CPage::FindItem(uint64_t id) const {
    for (const auto& item : m_items)
        if (item->Id() == id) return item.get();
    return nullptr;
}

std::vector<std::unique_ptr<CPageItem>> CPage::DeleteSelected() {
    std::vector<std::unique_ptr<CPageItem>> removed;
    const CRect area = SelectionArea();
    auto keep = std::stable_partition(m_items.begin(), m_items.end(),
                                      [](const auto& item) { return !item->IsSelected(); });
    for (auto it = keep; it != m_items.end(); ++it) {
        // The object is off the page now; its cached pixels can go.
        (*it)->Normal().ReleaseImage();
        if (CPageObject* twin = (*it)->MouseOver()) twin->ReleaseImage();
        removed.push_back(std::move(*it));
    }
    m_items.erase(keep, m_items.end());
    DeleteSelectedSets();
    if (!removed.empty()) {
        MarkModified();
        ItemsChanged();
        Repaint(area);
    }
    return removed;
}

bool CPage::IsDrawn(const CPageItem& item, const CEditState& state) const {
    if (state.editedText && &item.Current() == state.editedText) return false;
    if (state.dragging && item.IsSelected()) return false;
    return true;
}

void CPage::RenderAll(const CEditState* given) {
    if (m_renderGuard) return;
    m_renderGuard = true;
    m_background->Render();
    const CEditState state = given ? *given : CEditState{false, EditedText()};
    for (const auto& item : m_items)
        if (IsDrawn(*item, state)) item->Current().PrepareAndRender(TileBuffer());
    m_renderGuard = false;
}

void CPage::SetItemOrder(const std::vector<CPageItem*>& order) {
    if (order.size() != m_items.size()) return;
    // Check first that it is a permutation, so nothing can be lost halfway.
    std::unordered_map<const CPageItem*, int> position;
    position.reserve(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i)
        position.emplace(m_items[i].get(), static_cast<int>(i));
    std::vector<int> from(order.size(), -1);
    std::vector<bool> used(order.size(), false);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto found = position.find(order[k]);
        const int index = found == position.end() ? -1 : found->second;
        if (index < 0 || used[static_cast<std::size_t>(index)]) return;
        used[static_cast<std::size_t>(index)] = true;
        from[k] = index;
    }
    std::vector<std::unique_ptr<CPageItem>> sorted;
    sorted.reserve(m_items.capacity());
    for (int index : from)
        sorted.push_back(std::move(m_items[static_cast<std::size_t>(index)]));
    m_items = std::move(sorted);
}
