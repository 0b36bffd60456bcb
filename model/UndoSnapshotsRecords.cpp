// Steps that change objects in place: geometry, records, twins and texts.
#include "model/ObjectLink.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/ShapeObject.h"
#include "model/UndoSnapshots.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include <algorithm>
#include <unordered_map>

namespace {
CObjectRef CurrentRef(CPageItem* item) {
    return {item, item->IsEditingMouseOver() && item->MouseOver() != nullptr};
}

void RecomputeSetOf(const CPageItem& item) {
    if (CObjectSet* set = item.Set()) set->Recompute();
}
} // namespace

// ---------------------------------------------------------------- geometry

CGeometrySnapshot::CGeometrySnapshot(const CPage& page) {
    const std::vector<CPageItem*> items = SelectedItems(page);
    m_entries.reserve(items.size());
    for (CPageItem* item : items) {
        CEntry entry{item, {}, {}};
        entry.normal.Take(item->Normal());
        if (item->MouseOver()) entry.twin.Take(*item->MouseOver());
        if (const CObjectSet* set = item->Set()) {
            entry.inSet = true;
            entry.groupSet = set->IsGroup();
            entry.setAngle = set->Angle();
        }
        m_entries.push_back(std::move(entry));
    }
}

CGeometrySnapshot::~CGeometrySnapshot() = default;

void CGeometrySnapshot::CPlacement::Take(const CPageObject& object) {
    if (dynamic_cast<const CShapeObject*>(&object)) geometry = object.SnapshotGeometry();
    if (!geometry) bytes = SaveObjectBytes(object);
}

void CGeometrySnapshot::CPlacement::Exchange(CPageObject& object) {
    if (geometry) {
        object.SwapGeometry(*geometry);
    } else if (!bytes.empty()) {
        std::vector<uint8_t> now = SaveObjectBytes(object);
        if (LoadObjectBytes(object, bytes)) bytes = std::move(now);
    }
}

void CGeometrySnapshot::Exchange(CPage&) {
    // Angles of the sets as they are now, taken before any is changed: many
    // entries share one set.
    std::unordered_map<CObjectSet*, double> before;
    for (const CEntry& entry : m_entries)
        if (CObjectSet* set = entry.item->Set()) before.emplace(set, set->Angle());

    for (CEntry& entry : m_entries) {
        CPageItem& item = *entry.item;
        entry.normal.Exchange(item.Normal());
        if (item.MouseOver()) entry.twin.Exchange(*item.MouseOver());
        CObjectSet* set = item.Set();
        if (!set) continue;
        const double now = before[set];
        // The frame angle belongs to the set the item was in; a selection
        // made since then keeps its own.
        if (entry.inSet && entry.groupSet == set->IsGroup() && set->Angle() != entry.setAngle)
            set->SetAngle(entry.setAngle);
        entry.inSet = true;
        entry.groupSet = set->IsGroup();
        entry.setAngle = now;
    }
    for (const auto& [set, angle] : before)
        set->Recompute();
}

// ---------------------------------------------------------------- fill and effects

CRecordsSnapshot::CRecordsSnapshot(const CPage& page, EUndoKind kind) : m_kind(kind) {
    const bool fill = kind == EUndoKind::Fill || kind == EUndoKind::FillAndEffects;
    const bool effects = kind == EUndoKind::Effects || kind == EUndoKind::FillAndEffects;
    for (CPageItem* item : SelectedItems(page)) {
        const CPageObject& object = item->Current();
        CEntry entry{CurrentRef(item), nullptr, nullptr};
        if (fill && object.GetFill()) entry.fill = std::make_unique<CObjectFill>(*object.GetFill());
        if (effects && object.GetEffects())
            entry.effects = std::make_unique<CEffects>(*object.GetEffects());
        if (entry.fill || entry.effects) m_entries.push_back(std::move(entry));
    }
}

CRecordsSnapshot::~CRecordsSnapshot() = default;

void CRecordsSnapshot::Exchange(CPage&) {
    for (CEntry& entry : m_entries) {
        CPageObject* object = entry.ref.Resolve();
        if (!object) continue;
        if (entry.fill) entry.fill = object->SetFill(std::move(entry.fill));
        if (entry.effects) entry.effects = object->SetEffects(std::move(entry.effects));
        object->Invalidate();
        RecomputeSetOf(*entry.ref.item);
    }
}

// ---------------------------------------------------------------- links

CLinkSnapshot::CLinkSnapshot(const CPage& page) {
    for (CPageItem* item : SelectedItems(page)) {
        for (bool twin : {false, true}) {
            const CObjectRef ref{item, twin};
            const CPageObject* object = ref.Resolve();
            if (object && object->GetLink())
                m_entries.push_back({ref, std::make_unique<CObjectLink>(*object->GetLink())});
        }
    }
}

CLinkSnapshot::~CLinkSnapshot() = default;

void CLinkSnapshot::Exchange(CPage&) {
    for (CEntry& entry : m_entries) {
        CPageObject* object = entry.ref.Resolve();
        if (object && entry.link) entry.link = object->SetLink(std::move(entry.link));
    }
}

// ---------------------------------------------------------------- twins

CTwinSnapshot::CTwinSnapshot(const CPage& page, EUndoKind kind) : m_kind(kind) {
    for (CPageItem* item : SelectedItems(page)) {
        const CPageObject& normal = item->Normal();
        CEntry entry{item,
                     nullptr,
                     item->IsEditingMouseOver(),
                     item->SyncTwins(),
                     {normal.GetOffsetX(), normal.GetOffsetY()}};
        // A twin about to be removed is deleted by its command, and the
        // settings may rewrite its caption: keep a whole copy.
        if (item->MouseOver()) entry.twin = CopyObject(*item->MouseOver());
        m_entries.push_back(std::move(entry));
    }
}

CTwinSnapshot::~CTwinSnapshot() = default;

void CTwinSnapshot::Exchange(CPage&) {
    for (CEntry& entry : m_entries) {
        CPageItem& item = *entry.item;
        CPageObject& normal = item.Normal();
        const bool editing = item.IsEditingMouseOver();
        const bool sync = item.SyncTwins();
        const CPixelShift offset{normal.GetOffsetX(), normal.GetOffsetY()};
        std::unique_ptr<CPageObject> twin = item.RemoveMouseOver();
        // Without a twin attached, switching synchronisation on copies
        // nothing: the twin coming back is already as it was.
        item.SetSyncTwins(entry.sync);
        if (entry.twin) item.AttachMouseOver(std::move(entry.twin));
        item.SetEditingMouseOver(entry.editing);
        normal.SetOffsetX(entry.normalOffset.x);
        normal.SetOffsetY(entry.normalOffset.y);
        entry.twin = std::move(twin);
        entry.editing = editing;
        entry.sync = sync;
        entry.normalOffset = offset;
        RecomputeSetOf(item);
    }
}

// ---------------------------------------------------------------- texts

CStreamSnapshot::CStreamSnapshot(const CPage& page, EUndoKind kind) : m_kind(kind) {
    std::vector<CPageItem*> items = SelectedItems(page);
    if (const CPageObject* text = page.EditedText())
        if (CPageItem* edited = page.FindItem(*text))
            if (std::find(items.begin(), items.end(), edited) == items.end())
                items.push_back(edited);
    for (CPageItem* item : items) {
        // Only texts have a text record; other objects cannot be changed by
        // these commands and would only make the step heavy. Object records
        // (labels, alternative texts) take any kind whole.
        if (kind != EUndoKind::ObjectRecord && item->Normal().GetKind() != KIND_TEXT) continue;
        CEntry entry{item, SaveObjectBytes(item->Normal()), {}, item->SyncTwins()};
        if (item->MouseOver()) entry.twin = SaveObjectBytes(*item->MouseOver());
        m_entries.push_back(std::move(entry));
    }
    if (kind == EUndoKind::TextConvert) m_order = ItemOrder(page);
}

void CStreamSnapshot::Exchange(CPage& page) {
    if (m_kind == EUndoKind::TextConvert) {
        std::vector<CPageItem*> current = ItemOrder(page);
        if (m_order.size() == current.size()) page.SetItemOrder(m_order);
        m_order = std::move(current);
    }
    for (CEntry& entry : m_entries) {
        CPageItem& item = *entry.item;
        CEntry now{&item, SaveObjectBytes(item.Normal()), {}, item.SyncTwins()};
        if (item.MouseOver()) now.twin = SaveObjectBytes(*item.MouseOver());
        // Synchronising may copy one twin into the other; both are read back
        // right after.
        item.SetSyncTwins(entry.sync);
        LoadObjectBytes(item.Normal(), entry.normal);
        if (item.MouseOver() && !entry.twin.empty()) LoadObjectBytes(*item.MouseOver(), entry.twin);
        entry = std::move(now);
        RecomputeSetOf(item);
    }
}
