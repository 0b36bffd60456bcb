// Steps that change which items are on the page, their order and their sets.
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/UndoSnapshots.h"
#include "model/BackgroundFill.h"
#include <unordered_set>

namespace {
std::unordered_set<const CPageItem*> ItemsOnPage(const CPage& page) {
    std::unordered_set<const CPageItem*> out;
    out.reserve(page.Items().size());
    for (const auto& item : page.Items())
        out.insert(item.get());
    return out;
}

// Takes the members of the described sets off the page, into held.
void TakeMembers(CPage& page, const std::vector<CSetShape>& sets,
                 std::vector<std::unique_ptr<CPageItem>>& held) {
    const auto onPage = ItemsOnPage(page);
    for (const CSetShape& shape : sets)
        for (CPageItem* item : shape.members)
            if (onPage.contains(item))
                if (auto removed = page.RemoveItem(*item)) held.push_back(std::move(removed));
}

// The order restricted to what is on the page now; applied only when that
// is all of the page.
void RestoreOrder(CPage& page, const std::vector<CPageItem*>& order) {
    const auto onPage = ItemsOnPage(page);
    std::vector<CPageItem*> live;
    live.reserve(order.size());
    for (CPageItem* item : order)
        if (onPage.contains(item)) live.push_back(item);
    if (live.size() == onPage.size()) page.SetItemOrder(live);
}
} // namespace

// ---------------------------------------------------------------- insert

CInsertSnapshot::CInsertSnapshot(const CPage& page) : m_sets(DescribeSets(page, true)) {}

void CInsertSnapshot::Undo(CPage& page) {
    m_orderBeforeUndo = ItemOrder(page);
    TakeMembers(page, m_sets, m_held);
}

void CInsertSnapshot::Redo(CPage& page) {
    page.DeselectAll();
    for (auto& item : m_held)
        page.InsertItem(std::move(item));
    m_held.clear();
    // The band rule puts them where they were; the order seen before the
    // undo says so exactly.
    RestoreOrder(page, m_orderBeforeUndo);
    std::vector<CSetShape> selected = m_sets;
    for (CSetShape& shape : selected)
        shape.selected = true;
    BuildSets(page, selected);
}

// ---------------------------------------------------------------- delete

CDeleteSnapshot::CDeleteSnapshot(const CPage& page)
    : m_sets(DescribeSets(page, true)), m_order(ItemOrder(page)) {}

bool CDeleteSnapshot::KeepRemoved(std::vector<std::unique_ptr<CPageItem>>& items) {
    for (auto& item : items)
        if (item) m_held.push_back(std::move(item));
    items.clear();
    return true;
}

void CDeleteSnapshot::Undo(CPage& page) {
    page.DeselectAll();
    for (auto& item : m_held)
        page.PutItemAt(-1, std::move(item));
    m_held.clear();
    RestoreOrder(page, m_order);
    BuildSets(page, m_sets);
}

void CDeleteSnapshot::Redo(CPage& page) {
    TakeMembers(page, m_sets, m_held);
}

// ---------------------------------------------------------------- order and sets

void COrderSnapshot::Exchange(CPage& page) {
    std::vector<CPageItem*> current = ItemOrder(page);
    RestoreOrder(page, m_order);
    m_order = std::move(current);
}

void CSetsSnapshot::Exchange(CPage& page) {
    std::vector<CSetShape> current = DescribeSets(page, false);
    while (!page.Sets().empty())
        page.RemoveSet(*page.Sets().back());
    BuildSets(page, m_sets);
    m_sets = std::move(current);
}

// ---------------------------------------------------------------- page properties

CPagePropertiesSnapshot::CPagePropertiesSnapshot(const CPage& page)
    : m_identifier(page.Identifier()), m_webName(page.WebName()), m_headerHtml(page.HeaderHtml()),
      m_onloadCode(page.OnloadCode()), m_usedFiles(page.UsedFiles()), m_width(page.Width()),
      m_height(page.Height()), m_background(std::make_unique<CBackgroundFill>(page.Background())) {}

CPagePropertiesSnapshot::~CPagePropertiesSnapshot() = default;

void CPagePropertiesSnapshot::Exchange(CPage& page) {
    std::string identifier = page.Identifier();
    std::string webName = page.WebName();
    std::string headerHtml = page.HeaderHtml();
    std::string onloadCode = page.OnloadCode();
    std::vector<std::string> usedFiles = page.UsedFiles();
    const int32_t width = page.Width(), height = page.Height();

    page.SetIdentifier(std::move(m_identifier));
    page.SetWebName(std::move(m_webName));
    page.SetHeadHtml(std::move(m_headerHtml), std::move(m_onloadCode), std::move(m_usedFiles));
    // The size first: the background takes the page's size when it comes in.
    if (m_width != width) page.SetWidth(m_width);
    if (m_height != height) page.SetHeight(m_height);
    if (m_background) m_background = page.SetBackground(std::move(m_background));

    m_identifier = std::move(identifier);
    m_webName = std::move(webName);
    m_headerHtml = std::move(headerHtml);
    m_onloadCode = std::move(onloadCode);
    m_usedFiles = std::move(usedFiles);
    m_width = width;
    m_height = height;
}
