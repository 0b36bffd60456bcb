#pragma once
#include "image/PixMap.h"
#include "model/Observers.h"
#include "model/Tool.h"
#include "model/UndoRecorder.h"
#include "services/Geometry.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CBackgroundFill;
class CImage;
class CObjectSet;
class CPageItem;
class CPageObject;
class CSite;

// What the editor is doing on a page, for the operations that must leave the
// dragged or edited objects alone. The view owns it and passes it in.
struct CEditState {
    bool dragging = false;                  // selected items follow the pointer
    const CPageObject* editedText = nullptr; // the text edited in place
};

// One page of a site: its names, size, background, guides, head HTML, undo
// history, the stacking order of its items (index 0 at the back) and the sets
// that select or group them.
class CPage {
public:
    static constexpr int32_t kMinWidth = 10, kMaxWidth = 2000;
    static constexpr int32_t kMinHeight = 10, kMaxHeight = 30000;
    static constexpr int kMaxGuides = 100;
    static constexpr int kUndoSteps = 500;
    static constexpr int32_t kTileSize = 256;

    // Makes the undo history of a new page; the default keeps counts only.
    using HistoryFactory = std::function<std::unique_ptr<CUndoRecorder>(CPage& page, int steps)>;
    static HistoryFactory& HistoryMaker();

    // Size and background from the site's defaults.
    CPage(CSite& site, std::string identifier, std::string webName);
    ~CPage();
    CPage(const CPage&) = delete;
    CPage& operator=(const CPage&) = delete;

    // --- properties
    CSite& Site() const { return *m_site; }
    const std::string& Identifier() const { return m_identifier; }
    const std::string& WebName() const { return m_webName; }
    const std::string& HeaderHtml() const { return m_headerHtml; }
    const std::string& OnloadCode() const { return m_onloadCode; }
    const std::vector<std::string>& UsedFiles() const { return m_usedFiles; }
    bool IsFrontPage() const { return m_frontPage; }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    CBackgroundFill& Background() const { return *m_background; }
    // The 256 x 256 scratch map (alpha, red, green, blue) every item of the
    // page renders through.
    CPixMap& TileBuffer();
    // Gives `buffer` its 256 x 256 pixels if it has none yet; items keep a
    // pointer to their page's buffer and make it only when they draw.
    static CPixMap& MadeTileBuffer(CPixMap& buffer);
    CImage* PageImage() const { return m_pageImage.get(); }
    void SetPageImage(std::unique_ptr<CImage> image);

    void SetIdentifier(std::string identifier);
    void SetWebName(std::string webName);
    void SetHeadHtml(std::string headerHtml, std::string onloadCode,
                     std::vector<std::string> usedFiles);
    void SetFrontPageFlag(bool front) { m_frontPage = front; }
    // The background follows the page size.
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);
    // Adopts the fill, sized to the page; returns the one it replaces.
    std::unique_ptr<CBackgroundFill> SetBackground(std::unique_ptr<CBackgroundFill> fill);
    void SetProperties(std::string identifier, std::string webName, std::string headerHtml,
                       int32_t width, int32_t height);

    bool IsSaved() const { return m_saved; }
    void SetSaved(bool saved) { m_saved = saved; }
    void MarkModified();
    bool PublishPending() const { return m_publishPending; }
    void SetPublishPending(bool pending) { m_publishPending = pending; }

    // --- listeners (page windows, the inspector, the page list)
    void AddObserver(CPageObserver* observer) { m_observers.Add(observer); }
    void RemoveObserver(CPageObserver* observer) { m_observers.Remove(observer); }
    // True while a window draws the page (its pictures then stay cached).
    bool IsShown() const;
    // The text object being edited in place on this page, or null. Commands
    // that would disturb the edit are disabled while there is one.
    CPageObject* EditedText() const;
    bool IsEditingText() const { return EditedText() != nullptr; }

    // --- undo
    CUndoRecorder& History() const { return *m_history; }
    void SetHistory(std::unique_ptr<CUndoRecorder> history);
    // Records the step before a change: marks the page for publishing and
    // modified.
    void RecordUndo(EUndoKind kind);

    // --- guides (kept sorted ascending, at most kMaxGuides per direction)
    bool AddGuide(bool horizontal, int32_t position);
    void RemoveGuide(bool horizontal, int index);
    int GuideCount(bool horizontal) const;
    int32_t GuideAt(bool horizontal, int index) const;
    void SetGuideAt(bool horizontal, int index, int32_t value);
    const std::vector<int32_t>& Guides(bool horizontal) const;
    void ClearGuides();
    void SortGuides();
    bool useGuides = true;
    bool guidesHidden = false;

    // --- items, in stacking order
    const std::vector<std::unique_ptr<CPageItem>>& Items() const { return m_items; }
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    CPageItem& ItemAt(int index) const { return *m_items[static_cast<std::size_t>(index)]; }
    // Index of the first item of the top band (= number of normal items).
    int TopBandStart() const;
    // Wraps the object; top-band objects go to the end, others just below the
    // top band.
    CPageItem& InsertItem(std::unique_ptr<CPageObject> object);
    // Places an existing item by the same band rule (undo of a delete).
    CPageItem& InsertItem(std::unique_ptr<CPageItem> item);
    // Makes an object for a drawing tool (text, rectangle, circle) at the
    // point, inserts it, selects it alone and records the insert step (a text
    // only when its editing ends). Null for other tools.
    CPageItem* CreateFromTool(ETool tool, DPOINT point);
    using ToolObjectMaker = std::function<std::unique_ptr<CPageObject>(DPOINT centre)>;
    // How the text tool makes its object; installed by the text code.
    static ToolObjectMaker& TextToolMaker();
    // Takes the item out of its set and the list; the caller keeps it.
    std::unique_ptr<CPageItem> RemoveItem(CPageItem& item);
    // Replaces the entry (handing back the old one) or appends past the end.
    std::unique_ptr<CPageItem> PutItemAt(int index, std::unique_ptr<CPageItem> item);
    void MoveItemTo(CPageItem& item, int index);
    int IndexOf(const CPageItem& item) const;
    CPageItem* FindItem(const CPageObject& object) const;
    // The item with the id while it is on the page; null otherwise.
    CPageItem* FindItem(uint64_t id) const;
    // Every item of a selected set leaves the list; the selected sets go.
    std::vector<std::unique_ptr<CPageItem>> DeleteSelected();
    // Rebuilds the caches of the background and of every drawn item; without
    // a state, of all but the text edited in place.
    void RenderAll(const CEditState* state = nullptr);
    // False for the text edited in place and, while dragging, the selection.
    bool IsDrawn(const CPageItem& item, const CEditState& state) const;
    bool IsDrawn(const CPageItem& item) const { return IsDrawn(item, CEditState{false, EditedText()}); }
    // Reorders the items to the given permutation of the current ones.
    void SetItemOrder(const std::vector<CPageItem*>& order);
    // A copy of the page that draws `scale` times larger (model/PageScale.cpp,
    // where pw::ScaledPageCopy explains it). The site is not told.
    std::unique_ptr<CPage> ScaledCopy(int scale) const;
    // In such a copy, item `index` made again from `from` (an item of the
    // page it copies) at the copy's scale; false, leaving the item as it
    // was, when the object cannot be copied. The new objects are not
    // rendered yet.
    bool ReplaceScaledItem(std::size_t index, const CPageItem& from, int scale);

    // --- selection and groups (Page_Selection.cpp)
    const std::vector<std::unique_ptr<CObjectSet>>& Sets() const { return m_sets; }
    void SelectOnly(CPageItem& item);
    void SelectAll();
    void AddToSelection(CPageItem& item);
    void DeselectAll();
    std::unique_ptr<CObjectSet> RemoveSet(CObjectSet& set);
    CObjectSet& AppendSet(std::unique_ptr<CObjectSet> set);
    // Deletes every selected set, members leaving it.
    void DeleteSelectedSets();
    int SelectedSetCount() const;
    int SelectedItemCount() const;
    CObjectSet* SingleSelectedSet() const;
    CPageItem* SingleSelectedItem() const;
    // Union of the selected items' areas.
    CRect SelectionArea() const;
    void Repaint(const CRect& area = {}) const;
    // Tell the listeners that the selected sets, or the items, changed.
    void SelectionChanged() const;
    void ItemsChanged();

private:
    // DeselectAll without telling the listeners, for the selection
    // operations that tell them once when done.
    void DeselectQuietly();
    void PropertiesChanged();
    void DropEmptySet(CObjectSet* set);
    std::vector<int32_t>& GuideArray(bool horizontal);

    CSite* m_site;
    std::string m_identifier;
    std::string m_webName;
    std::string m_headerHtml;
    std::string m_onloadCode;
    std::vector<std::string> m_usedFiles;
    bool m_frontPage = false;
    int32_t m_width;
    int32_t m_height;
    std::unique_ptr<CBackgroundFill> m_background;
    std::unique_ptr<CUndoRecorder> m_history;
    CPixMap m_tileBuffer;
    std::unique_ptr<CImage> m_pageImage;
    bool m_saved = false;
    bool m_renderGuard = false;
    bool m_publishPending = true;
    std::vector<int32_t> m_horizontalGuides;
    std::vector<int32_t> m_verticalGuides;
    std::vector<std::unique_ptr<CPageItem>> m_items;
    std::vector<std::unique_ptr<CObjectSet>> m_sets;
    CObserverList<CPageObserver> m_observers;
};
