#include "model/Site.h"
#include "services/Growable.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/BackgroundFill.h"
#include "services/StringTable.h"

CSite::CSite(std::string p)
    : path(std::move(p)), m_defaultFill(std::make_unique<CBackgroundFill>()) {}

CSite::CSite(std::string siteName, const CBackgroundFill& defaultFill, int32_t width,
             int32_t height, const CColor& unvisitedLink, const CColor& visitedLink)
    : name(std::move(siteName)), defaultWidth(width), defaultHeight(height),
      unvisitedLinkColour(unvisitedLink), visitedLinkColour(visitedLink),
      m_defaultFill(std::make_unique<CBackgroundFill>(defaultFill)) {}

CSite::~CSite() {
    // Last page first, as the pages were stacked up.
    m_currentPage = nullptr;
    while (!m_pages.empty())
        m_pages.pop_back();
}

void CSite::SetDefaultFill(const CBackgroundFill& fill) {
    *m_defaultFill = fill;
}

int CSite::IndexOf(const CPage& page) const {
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i].get() == &page) return static_cast<int>(i);
    return -1;
}

CPage& CSite::AddPage(std::unique_ptr<CPage> page) {
    ReserveOneMore(m_pages);
    m_pages.push_back(std::move(page));
    m_currentPage = m_pages.back().get();
    m_observers.ForEach([this](CSiteObserver& o) { o.OnPageAdded(*this, *m_currentPage); });
    return *m_currentPage;
}

void CSite::PageRenamed(CPage& page) {
    m_observers.ForEach([&](CSiteObserver& o) { o.OnPageRenamed(*this, page); });
}

std::string CSite::MakeUniquePageIdentifier() const {
    const std::string& prefix = CStringTable::Get(IDS_PAGE_ID_PREFIX);
    for (long long n = PageCount() + 1;; ++n) {
        std::string candidate = prefix + std::to_string(n);
        if (IsIdentifierFree(candidate)) return candidate;
    }
}

bool CSite::IsIdentifierFree(const std::string& identifier) const {
    return FindPage(identifier) == nullptr;
}

CPage* CSite::FindPage(const std::string& identifier) const {
    for (const auto& page : m_pages)
        if (page->Identifier() == identifier) return page.get();
    return nullptr;
}

void CSite::SetFrontPage(const CPage& front) {
    for (const auto& page : m_pages) {
        page->SetFrontPageFlag(page.get() == &front);
        page->MarkModified();
    }
}

CPage* CSite::FrontPage() const {
    for (const auto& page : m_pages)
        if (page->IsFrontPage()) return page.get();
    return nullptr;
}

int CSite::DeletePage(CPage& page) {
    const int index = IndexOf(page);
    if (index < 0) return -1;
    const bool wasFront = page.IsFrontPage();
    if (m_currentPage == &page) m_currentPage = nullptr;
    m_observers.ForEach([&](CSiteObserver& o) { o.OnPageRemoved(*this, page, index); });
    m_pages.erase(m_pages.begin() + index);

    for (const auto& other : m_pages) {
        for (const auto& item : other->Items()) {
            item->Normal().OnPageRemoved(index);
            if (CPageObject* twin = item->MouseOver()) twin->OnPageRemoved(index);
        }
    }
    if (wasFront && !m_pages.empty()) {
        m_pages.front()->SetFrontPageFlag(true);
        m_pages.front()->MarkModified();
    }
    MarkModified();
    return index;
}

void CSite::MarkModified() {
    m_saved = false;
    m_observers.ForEach([this](CSiteObserver& o) { o.OnSiteModified(*this); });
}

void CSite::MarkSaved() {
    m_saved = true;
    for (const auto& page : m_pages)
        page->SetSaved(true);
    m_observers.ForEach([this](CSiteObserver& o) { o.OnSiteSaved(*this); });
}

bool CSite::IsSaved() const {
    if (!m_saved) return false;
    for (const auto& page : m_pages)
        if (!page->IsSaved()) return false;
    return true;
}
