#pragma once
#include "services/Geometry.h"
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

class CPage;
class CSite;

// Listeners the model tells about its changes. A designer has many at once
// (a window per page, the inspector, the page list, the status bar), so each
// model object keeps a list. Every call has an empty default: a listener
// overrides what it needs.

class CPageObserver {
public:
    virtual ~CPageObserver() = default;
    // Part of the page must be drawn again; an empty rectangle means all of it.
    virtual void OnPageRepaint(CPage&, const CRect& /*area*/) {}
    // Width or height changed: scroll ranges follow.
    virtual void OnPageSizeChanged(CPage&) {}
    // Items were added, removed or reordered.
    virtual void OnItemsChanged(CPage&) {}
    // The selected sets changed.
    virtual void OnSelectionChanged(CPage&) {}
    // Identifier, web name, head HTML or background changed.
    virtual void OnPagePropertiesChanged(CPage&) {}
    // A window that draws the page answers true: the page then keeps its
    // pictures cached.
    virtual bool ShowsPage(const CPage&) const { return false; }
};

class CSiteObserver {
public:
    virtual ~CSiteObserver() = default;
    virtual void OnPageAdded(CSite&, CPage&) {}
    // Called before the page is destroyed; `index` is where it stood.
    virtual void OnPageRemoved(CSite&, CPage&, int /*index*/) {}
    virtual void OnPageRenamed(CSite&, CPage&) {}
    // The site went from saved to modified or changed while modified.
    virtual void OnSiteModified(CSite&) {}
    virtual void OnSiteSaved(CSite&) {}
};

class CDocumentObserver {
public:
    virtual ~CDocumentObserver() = default;
    virtual void OnTitleChanged(const std::string& /*title*/) {}
    // The profile store picks up a site.
    virtual void OnSiteOpened(CSite&) {}
    // Windows let go of the site.
    virtual void OnSiteClosed() {}
    // Page windows leave text editing (before a save, a close).
    virtual void OnEndTextEdits() {}
    // The FTP profile store is written.
    virtual void OnWriteProfiles() {}
    // How many windows show pages of the site; the answers are added up.
    virtual int PageWindowCount() const { return 0; }
};

// Observer lists hold listeners they do not own. A listener may remove
// itself (or another) while being called: removal only blanks the entry,
// and the list is compacted when no call is running.
template <typename T> class CObserverList {
public:
    void Add(T* observer) {
        if (observer && std::find(m_list.begin(), m_list.end(), observer) == m_list.end())
            m_list.push_back(observer);
    }
    void Remove(T* observer) {
        auto it = std::find(m_list.begin(), m_list.end(), observer);
        if (it == m_list.end()) return;
        if (m_depth > 0)
            *it = nullptr;
        else
            m_list.erase(it);
    }
    bool Empty() const {
        return std::all_of(m_list.begin(), m_list.end(), [](T* o) { return o == nullptr; });
    }
    template <typename F> void ForEach(F&& call) const {
        ++m_depth;
        // Index loop: listeners added during the call are reached too.
        for (std::size_t i = 0; i < m_list.size(); ++i)
            if (T* o = m_list[i]) call(*o);
        if (--m_depth == 0)
            m_list.erase(std::remove(m_list.begin(), m_list.end(), nullptr), m_list.end());
    }
    template <typename F> bool Any(F&& test) const {
        return std::any_of(m_list.begin(), m_list.end(), [&](T* o) { return o && test(*o); });
    }

private:
    mutable std::vector<T*> m_list;
    mutable int m_depth = 0;
};

// A page observer made of functions, for small listeners (and tests).
struct CPageEvents : CPageObserver {
    std::function<void(const CRect& area)> repaint;
    std::function<void()> sizeChanged;
    std::function<void()> itemsChanged;
    std::function<void()> selectionChanged;
    std::function<void()> propertiesChanged;

    void OnPageRepaint(CPage&, const CRect& area) override {
        if (repaint) repaint(area);
    }
    void OnPageSizeChanged(CPage&) override {
        if (sizeChanged) sizeChanged();
    }
    void OnItemsChanged(CPage&) override {
        if (itemsChanged) itemsChanged();
    }
    void OnSelectionChanged(CPage&) override {
        if (selectionChanged) selectionChanged();
    }
    void OnPagePropertiesChanged(CPage&) override {
        if (propertiesChanged) propertiesChanged();
    }
};

// A document observer made of functions.
struct CDocumentEvents : CDocumentObserver {
    std::function<void(const std::string& title)> titleChanged;
    std::function<void(CSite& site)> siteOpened;
    std::function<void()> siteClosed;
    std::function<void()> endTextEdits;
    std::function<void()> writeProfiles;
    std::function<int()> pageWindowCount;

    void OnTitleChanged(const std::string& title) override {
        if (titleChanged) titleChanged(title);
    }
    void OnSiteOpened(CSite& site) override {
        if (siteOpened) siteOpened(site);
    }
    void OnSiteClosed() override {
        if (siteClosed) siteClosed();
    }
    void OnEndTextEdits() override {
        if (endTextEdits) endTextEdits();
    }
    void OnWriteProfiles() override {
        if (writeProfiles) writeProfiles();
    }
    int PageWindowCount() const override { return pageWindowCount ? pageWindowCount() : 0; }
};
