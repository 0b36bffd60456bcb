#pragma once
#include "model/PageObject.h"
#include "model/UndoRecorder.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CBackgroundFill;
class CEffects;
class CObjectFill;
class CObjectLink;
class CPage;
class CPageItem;

// One step of a page's undo history. It captures, when made, the part of the
// page its command is about to change; Undo puts that back and keeps what it
// replaced so that Redo can restore it. Steps refer to items by pointer and
// to objects by their item (normal object or twin), never to object sets:
// selections come and go without a step, while the items a step refers to
// stay alive as long as the step can run (they are on the page or held by a
// delete or insert step).
class CUndoSnapshot {
public:
    virtual ~CUndoSnapshot() = default;
    virtual void Undo(CPage& page) = 0;
    virtual void Redo(CPage& page) = 0;
    // The delete step takes the items its command removed from the page;
    // every other step refuses them (false, items untouched).
    virtual bool KeepRemoved(std::vector<std::unique_ptr<CPageItem>>& /*items*/) { return false; }
    virtual EUndoKind Kind() const = 0;
    // What the Edit menu calls the step.
    virtual std::string Label() const { return UndoKindLabel(Kind()); }
};

// Several steps taken as one: undone newest first, redone oldest first.
class CCompoundSnapshot final : public CUndoSnapshot {
public:
    explicit CCompoundSnapshot(std::string label) : m_label(std::move(label)) {}
    void Add(std::unique_ptr<CUndoSnapshot> step) {
        if (step) m_steps.push_back(std::move(step));
    }
    bool Empty() const { return m_steps.empty(); }
    void WithdrawNewest() {
        if (!m_steps.empty()) m_steps.pop_back();
    }
    void Undo(CPage& page) override {
        for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it)
            (*it)->Undo(page);
    }
    void Redo(CPage& page) override {
        for (auto& step : m_steps)
            step->Redo(page);
    }
    // Items a delete took go to the newest step that wants them.
    bool KeepRemoved(std::vector<std::unique_ptr<CPageItem>>& items) override {
        return !m_steps.empty() && m_steps.back()->KeepRemoved(items);
    }
    EUndoKind Kind() const override {
        return m_steps.empty() ? EUndoKind::Unused : m_steps.front()->Kind();
    }
    std::string Label() const override {
        return m_label.empty() && !m_steps.empty() ? m_steps.front()->Label() : m_label;
    }

private:
    std::string m_label;
    std::vector<std::unique_ptr<CUndoSnapshot>> m_steps;
};

// Makes the step of the given kind from the page's present state; null for
// the withdraw kind, which is not a step.
std::unique_ptr<CUndoSnapshot> MakeUndoSnapshot(CPage& page, EUndoKind kind);

// --------------------------------------------------------------- helpers

// Where an object sits: the item's normal object or its twin.
struct CObjectRef {
    CPageItem* item = nullptr;
    bool twin = false;
    CPageObject* Resolve() const;
};

// A set described by value, so it can be built again after the set object
// itself is gone (deselecting destroys plain selections).
struct CSetShape {
    std::vector<CPageItem*> members;
    bool group = false;
    bool selected = true;
    double angle = 0.0;
};

// Items of the selected sets, set by set.
std::vector<CPageItem*> SelectedItems(const CPage& page);
std::vector<CSetShape> DescribeSets(const CPage& page, bool selectedOnly);
// Appends the described sets to the page (members must be on the page).
void BuildSets(CPage& page, const std::vector<CSetShape>& shapes);
std::vector<CPageItem*> ItemOrder(const CPage& page);
// A full copy of an object: Clone, or a trip through its stream record for
// kinds that cannot clone. Null when neither works.
std::unique_ptr<CPageObject> CopyObject(const CPageObject& object);
std::vector<uint8_t> SaveObjectBytes(const CPageObject& object);
// Reads a record written by SaveObjectBytes back into the same object.
bool LoadObjectBytes(CPageObject& object, const std::vector<uint8_t>& bytes);

// Steps that exchange their content with the page: undo and redo are then
// one and the same operation.
class CExchangeSnapshot : public CUndoSnapshot {
public:
    void Undo(CPage& page) override { Exchange(page); }
    void Redo(CPage& page) override { Exchange(page); }

protected:
    virtual void Exchange(CPage& page) = 0;
};

// ------------------------------------------------- items, order and sets

// Insert: the selected sets with their items. Undo takes the items off the
// page and holds them; Redo puts them back, selected.
class CInsertSnapshot final : public CUndoSnapshot {
public:
    explicit CInsertSnapshot(const CPage& page);
    void Undo(CPage& page) override;
    void Redo(CPage& page) override;
    EUndoKind Kind() const override { return EUndoKind::Insert; }

private:
    std::vector<CSetShape> m_sets;
    std::vector<CPageItem*> m_orderBeforeUndo;
    std::vector<std::unique_ptr<CPageItem>> m_held;
};

// Delete: the selected sets and the whole item order. The command hands the
// removed items over with KeepRemoved; Undo puts them back in place.
class CDeleteSnapshot final : public CUndoSnapshot {
public:
    explicit CDeleteSnapshot(const CPage& page);
    void Undo(CPage& page) override;
    void Redo(CPage& page) override;
    bool KeepRemoved(std::vector<std::unique_ptr<CPageItem>>& items) override;
    EUndoKind Kind() const override { return EUndoKind::Delete; }

private:
    std::vector<CSetShape> m_sets;
    std::vector<CPageItem*> m_order;
    std::vector<std::unique_ptr<CPageItem>> m_held;
};

// Stacking: the item order.
class COrderSnapshot final : public CExchangeSnapshot {
public:
    explicit COrderSnapshot(const CPage& page) : m_order(ItemOrder(page)) {}
    EUndoKind Kind() const override { return EUndoKind::Arrange; }

protected:
    void Exchange(CPage& page) override;

private:
    std::vector<CPageItem*> m_order;
};

// Group and ungroup: every set of the page.
class CSetsSnapshot final : public CExchangeSnapshot {
public:
    explicit CSetsSnapshot(const CPage& page) : m_sets(DescribeSets(page, false)) {}
    EUndoKind Kind() const override { return EUndoKind::Group; }

protected:
    void Exchange(CPage& page) override;

private:
    std::vector<CSetShape> m_sets;
};

// Page properties: names, head HTML, size and background.
class CPagePropertiesSnapshot final : public CExchangeSnapshot {
public:
    explicit CPagePropertiesSnapshot(const CPage& page);
    ~CPagePropertiesSnapshot() override;
    EUndoKind Kind() const override { return EUndoKind::PageProperties; }

protected:
    void Exchange(CPage& page) override;

private:
    std::string m_identifier;
    std::string m_webName;
    std::string m_headerHtml;
    std::string m_onloadCode;
    std::vector<std::string> m_usedFiles;
    int32_t m_width;
    int32_t m_height;
    std::unique_ptr<CBackgroundFill> m_background;
};

// A step that nothing records; it changes nothing.
class CEmptySnapshot final : public CExchangeSnapshot {
public:
    EUndoKind Kind() const override { return EUndoKind::Unused; }

protected:
    void Exchange(CPage&) override {}
};

// ------------------------------------------------- objects and records

// Moving, resizing, turning: the geometry of the selected items (both
// twins) and the angle of the set each item is in.
class CGeometrySnapshot final : public CExchangeSnapshot {
public:
    explicit CGeometrySnapshot(const CPage& page);
    ~CGeometrySnapshot() override;
    EUndoKind Kind() const override { return EUndoKind::Move; }

protected:
    void Exchange(CPage& page) override;

private:
    // Shapes keep a light geometry copy; the boxed kinds (counter, HTML,
    // form) keep their whole record, which is small and puts their
    // placement back exactly.
    struct CPlacement {
        std::unique_ptr<CPageObject> geometry;
        std::vector<uint8_t> bytes;
        void Take(const CPageObject& object);
        void Exchange(CPageObject& object);
    };
    struct CEntry {
        CPageItem* item;
        CPlacement normal;
        CPlacement twin;
        bool inSet = false;
        bool groupSet = false;
        double setAngle = 0.0;
    };
    std::vector<CEntry> m_entries;
};

// Fill, effects or both: the records of the selected items' current objects.
class CRecordsSnapshot final : public CExchangeSnapshot {
public:
    CRecordsSnapshot(const CPage& page, EUndoKind kind);
    ~CRecordsSnapshot() override;
    EUndoKind Kind() const override { return m_kind; }

protected:
    void Exchange(CPage& page) override;

private:
    struct CEntry {
        CObjectRef ref;
        std::unique_ptr<CObjectFill> fill;
        std::unique_ptr<CEffects> effects;
    };
    EUndoKind m_kind;
    std::vector<CEntry> m_entries;
};

// Links of both twins of the selected items.
class CLinkSnapshot final : public CExchangeSnapshot {
public:
    explicit CLinkSnapshot(const CPage& page);
    ~CLinkSnapshot() override;
    EUndoKind Kind() const override { return EUndoKind::Link; }

protected:
    void Exchange(CPage& page) override;

private:
    struct CEntry {
        CObjectRef ref;
        std::unique_ptr<CObjectLink> link;
    };
    std::vector<CEntry> m_entries;
};

// Adding or removing a twin and the mouse-over settings: the selected items'
// twins (whole copies), which one is edited, the synchronisation flag and
// the normal objects' offsets.
class CTwinSnapshot final : public CExchangeSnapshot {
public:
    CTwinSnapshot(const CPage& page, EUndoKind kind);
    ~CTwinSnapshot() override;
    EUndoKind Kind() const override { return m_kind; }

protected:
    void Exchange(CPage& page) override;

private:
    struct CEntry {
        CPageItem* item;
        std::unique_ptr<CPageObject> twin;
        bool editing = false;
        bool sync = true;
        CPixelShift normalOffset;
    };
    EUndoKind m_kind;
    std::vector<CEntry> m_entries;
};

// Text and object-record changes: the stream records of both twins of the
// selected texts (of any object for object records) and of the text being
// edited, their synchronisation flag, and for a
// rendering conversion, which may move a text between the stacking bands,
// the item order.
class CStreamSnapshot final : public CExchangeSnapshot {
public:
    CStreamSnapshot(const CPage& page, EUndoKind kind);
    EUndoKind Kind() const override { return m_kind; }

protected:
    void Exchange(CPage& page) override;

private:
    struct CEntry {
        CPageItem* item;
        std::vector<uint8_t> normal;
        std::vector<uint8_t> twin;
        bool sync = true;
    };
    EUndoKind m_kind;
    std::vector<CEntry> m_entries;
    std::vector<CPageItem*> m_order;
};
