#pragma once
#include "model/PageObject.h"
#include "services/Geometry.h"
#include <functional>
#include <memory>

class CObjectSet;
class CPixMap;

// One entry of a page's stacking order: the object as shown normally and,
// optionally, its mouse-over twin. The item owns both. While the editor
// works on the twin (editingMouseOver) the twin is the item's current object.
class CPageItem {
public:
    explicit CPageItem(std::unique_ptr<CPageObject> normal, CPixMap* tileBuffer = nullptr);
    ~CPageItem();
    CPageItem(const CPageItem&) = delete;
    CPageItem& operator=(const CPageItem&) = delete;

    // Unique for the life of the program and kept through undo and redo (a
    // step puts back the same item): views and the inspector remember items
    // by it, never by pointer.
    uint64_t Id() const { return m_id; }

    CPageObject& Normal() const { return *m_normal; }
    CPageObject* MouseOver() const { return m_mouseOver.get(); }
    // The twin while it is being edited, the normal object otherwise.
    CPageObject& Current() const;
    // The object that is not current (the twin or the normal one); null
    // without a twin.
    CPageObject* Other() const;

    bool HasMouseOver() const { return m_hasMouseOver; }
    bool IsEditingMouseOver() const { return m_editingMouseOver; }
    // Switching to the twin needs one; without a twin the request is ignored.
    // This and the next three keep the item's set framing the current object.
    void SetEditingMouseOver(bool editing);
    // Adopts the twin and starts editing it. Null is ignored.
    void AttachMouseOver(std::unique_ptr<CPageObject> twin);
    // Takes the twin out and clears both flags; drop the result to delete it.
    std::unique_ptr<CPageObject> RemoveMouseOver();
    // Shifts the twin to the given offset from its place (each -100..100);
    // ignored without a twin.
    void SetMouseOverOffset(CPixelShift offset);

    bool SyncTwins() const { return m_syncTwins; }
    // Turning synchronisation on brings the twins into line at once.
    void SetSyncTwins(bool sync);
    // Copies the caption (shapes) or the text record (texts) of the current
    // object into the other one and renders it again.
    void SynchroniseTwins();
    // Text objects copy their whole text record; the text code installs how.
    using TextTwinCopy = std::function<void(const CPageObject& from, CPageObject& to)>;
    static TextTwinCopy& TextTwinCopyHook();

    // Moves the current object and the twin by the same whole pixels.
    void MoveBy(int32_t dx, int32_t dy);
    // The area the item covers on the page (its current object's rectangle).
    CRect GetRect() const { return Current().GetRect(); }

    CObjectSet* Set() const { return m_set; }
    void SetSet(CObjectSet* set) { m_set = set; }
    bool IsSelected() const;

    CPixMap* TileBuffer() const { return m_tileBuffer; }
    void SetTileBuffer(CPixMap* buffer) { m_tileBuffer = buffer; }

private:
    static void TellOwner(CPageObject& object, const CPageItem* item);
    void RenderOther(CPageObject& other);
    // The set's box and handles follow the current object.
    void ReframeSet();

    uint64_t m_id;
    std::unique_ptr<CPageObject> m_normal;
    std::unique_ptr<CPageObject> m_mouseOver;
    bool m_hasMouseOver = false;
    bool m_editingMouseOver = false;
    bool m_syncTwins = true;
    CObjectSet* m_set = nullptr;
    CPixMap* m_tileBuffer = nullptr;
};

// Counters, forms, animated GIF pictures and texts written as HTML text stay
// above everything else on a page (the browser would draw them there anyway).
bool IsTopBandObject(const CPageObject& object);
