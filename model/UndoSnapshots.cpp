#include "model/UndoSnapshots.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/ReadObject.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <exception>
#include <span>
#include <unordered_set>

CPageObject* CObjectRef::Resolve() const {
    if (!item) return nullptr;
    return twin ? item->MouseOver() : &item->Normal();
}

std::vector<CPageItem*> SelectedItems(const CPage& page) {
    std::vector<CPageItem*> out;
    for (const auto& set : page.Sets())
        if (set->IsSelected()) out.insert(out.end(), set->Items().begin(), set->Items().end());
    return out;
}

std::vector<CSetShape> DescribeSets(const CPage& page, bool selectedOnly) {
    std::vector<CSetShape> out;
    out.reserve(page.Sets().size());
    for (const auto& set : page.Sets()) {
        if (selectedOnly && !set->IsSelected()) continue;
        out.push_back({set->Items(), set->IsGroup(), set->IsSelected(), set->Angle()});
    }
    return out;
}

void BuildSets(CPage& page, const std::vector<CSetShape>& shapes) {
    // Only items that are on the page can join a set; anything else would
    // leave a set pointing at an item nobody owns.
    std::unordered_set<const CPageItem*> onPage;
    onPage.reserve(page.Items().size());
    for (const auto& item : page.Items())
        onPage.insert(item.get());
    for (const CSetShape& shape : shapes) {
        std::vector<CPageItem*> members;
        members.reserve(shape.members.size());
        for (CPageItem* item : shape.members)
            if (onPage.contains(item)) members.push_back(item);
        if (members.empty()) continue;
        // An item belongs to one set at most.
        for (CPageItem* item : members)
            if (CObjectSet* old = item->Set()) old->Remove(item);
        CObjectSet& set = page.AppendSet(std::make_unique<CObjectSet>(members));
        set.SetGroup(shape.group);
        if (shape.angle != set.Angle()) set.SetAngle(shape.angle);
        set.SetSelected(shape.selected);
    }
    // Sets that lost their last member to the new ones are of no use.
    std::vector<CObjectSet*> empty;
    for (const auto& set : page.Sets())
        if (set->Count() == 0) empty.push_back(set.get());
    for (CObjectSet* set : empty)
        page.RemoveSet(*set);
}

std::vector<CPageItem*> ItemOrder(const CPage& page) {
    std::vector<CPageItem*> out;
    out.reserve(page.Items().size());
    for (const auto& item : page.Items())
        out.push_back(item.get());
    return out;
}

std::vector<uint8_t> SaveObjectBytes(const CPageObject& object) {
    CByteWriter writer;
    object.Save(writer);
    return writer.Take();
}

bool LoadObjectBytes(CPageObject& object, const std::vector<uint8_t>& bytes) {
    try {
        CByteReader reader(std::span<const uint8_t>(bytes), kCurrentStreamVersion);
        reader.ReadTag();
        object.Load(reader, kCurrentStreamVersion);
    } catch (const std::exception&) {
        // The object stays as it was; a step that cannot be read back is
        // better lost than the page.
        return false;
    }
    object.Invalidate();
    return true;
}

std::unique_ptr<CPageObject> CopyObject(const CPageObject& object) {
    if (auto copy = object.Clone()) return copy;
    try {
        const std::vector<uint8_t> bytes = SaveObjectBytes(object);
        CByteReader reader(std::span<const uint8_t>(bytes), kCurrentStreamVersion);
        return ReadObject(reader, kCurrentStreamVersion);
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::unique_ptr<CUndoSnapshot> MakeUndoSnapshot(CPage& page, EUndoKind kind) {
    switch (kind) {
    case EUndoKind::Insert:
        return std::make_unique<CInsertSnapshot>(page);
    case EUndoKind::Delete:
        return std::make_unique<CDeleteSnapshot>(page);
    case EUndoKind::Move:
        return std::make_unique<CGeometrySnapshot>(page);
    case EUndoKind::TextRecord:
    case EUndoKind::TextConvert:
    case EUndoKind::ObjectRecord:
        return std::make_unique<CStreamSnapshot>(page, kind);
    case EUndoKind::Fill:
    case EUndoKind::Effects:
    case EUndoKind::FillAndEffects:
        return std::make_unique<CRecordsSnapshot>(page, kind);
    case EUndoKind::Link:
        return std::make_unique<CLinkSnapshot>(page);
    case EUndoKind::AddMouseOver:
    case EUndoKind::RemoveMouseOver:
    case EUndoKind::MouseOverSettings:
        return std::make_unique<CTwinSnapshot>(page, kind);
    case EUndoKind::Unused:
        return std::make_unique<CEmptySnapshot>();
    case EUndoKind::Arrange:
        return std::make_unique<COrderSnapshot>(page);
    case EUndoKind::Group:
        return std::make_unique<CSetsSnapshot>(page);
    case EUndoKind::PageProperties:
        return std::make_unique<CPagePropertiesSnapshot>(page);
    case EUndoKind::Withdraw:
        break;
    }
    return nullptr;
}
