#pragma once
#include "image/Color.h"
#include "model/Observers.h"
#include "services/RelinkMaps.h"
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CBackgroundFill;
class CPage;

// The open site: its pages in order (the order of menus, of the build and of
// links by page index), the defaults new pages take, and the texts every
// built page carries.
class CSite {
public:
    static constexpr int32_t kFileDefaultWidth = 740;
    static constexpr int32_t kFileDefaultHeight = 600;
    static constexpr int kMaxPages = 500;

    // Empty site about to be loaded from path.
    explicit CSite(std::string path);
    // A new, never saved site.
    CSite(std::string name, const CBackgroundFill& defaultFill, int32_t width, int32_t height,
          const CColor& unvisitedLink, const CColor& visitedLink);
    ~CSite();
    CSite(const CSite&) = delete;
    CSite& operator=(const CSite&) = delete;

    std::string path;
    std::string name;
    std::string keywords;
    std::string description;
    int32_t defaultWidth = kFileDefaultWidth;
    int32_t defaultHeight = kFileDefaultHeight;
    CColor unvisitedLinkColour{0, 0, 255};
    CColor visitedLinkColour{128, 0, 128};
    // Year, month (1-12), day, hour, minute of the last successful publish;
    // all -1 until then.
    std::array<int16_t, 5> lastPublished{-1, -1, -1, -1, -1};
    CRelinkMaps relinkMaps;
    // Listeners: the main window's title, the page list, the status bar.
    void AddObserver(CSiteObserver* observer) { m_observers.Add(observer); }
    void RemoveObserver(CSiteObserver* observer) { m_observers.Remove(observer); }
    // A page's identifier or web name changed (the page tells its site).
    void PageRenamed(CPage& page);

    CBackgroundFill& DefaultFill() const { return *m_defaultFill; }
    void SetDefaultFill(const CBackgroundFill& fill);

    // Pages.
    const std::vector<std::unique_ptr<CPage>>& Pages() const { return m_pages; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    CPage& PageAt(int index) const { return *m_pages[static_cast<std::size_t>(index)]; }
    int IndexOf(const CPage& page) const;
    // Appends the page and makes it the current page.
    CPage& AddPage(std::unique_ptr<CPage> page);
    CPage* CurrentPage() const { return m_currentPage; }
    void SetCurrentPage(CPage* page) { m_currentPage = page; }

    // "Side" + n with n counting up from the page count + 1 until free.
    std::string MakeUniquePageIdentifier() const;
    // Case-sensitive.
    bool IsIdentifierFree(const std::string& identifier) const;
    CPage* FindPage(const std::string& identifier) const;
    void SetFrontPage(const CPage& page);
    CPage* FrontPage() const;
    // Removes and destroys the page; objects on the other pages hear about
    // the lost index, and the first page takes over as front page when the
    // front page went. Returns the index the page had, or -1 when it is not
    // a page of this site. The current page is cleared when it was this one.
    int DeletePage(CPage& page);

    // Saved flags.
    void MarkModified();
    void MarkSaved();
    bool IsSaved() const;
    bool SiteFlagSaved() const { return m_saved; }

private:
    std::unique_ptr<CBackgroundFill> m_defaultFill;
    std::vector<std::unique_ptr<CPage>> m_pages;
    CPage* m_currentPage = nullptr;
    bool m_saved = true;
    CObserverList<CSiteObserver> m_observers;
};
