// A page with a real undo history, a byte image of everything a page keeps
// (for before/after comparisons) and the page commands the undo tests drive.
#pragma once
#include "model/Arrange.h"
#include "model/EllipseObject.h"
#include "model/Grouping.h"
#include "model/HtmlObject.h"
#include "model/ObjectLink.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageProperties.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/UndoHistory.h"
#include "model/BackgroundFill.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/ByteWriter.h"
#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace pwundo {

struct CUndoPage {
    CSite site{"Test", CBackgroundFill(), 640, 480, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage* page;

    CUndoPage() : page(&site.AddPage(std::make_unique<CPage>(site, "Side1", "Test"))) {
        page->SetHistory(std::make_unique<CUndoHistory>(*page, CPage::kUndoSteps));
    }
    CPage& Page() { return *page; }
    CUndoHistory& History() { return static_cast<CUndoHistory&>(page->History()); }
};

inline int IndexIn(const CPage& page, const CPageItem* item) {
    return item ? page.IndexOf(*item) : -2;
}

// Everything the page keeps that a command can change, in a fixed layout:
// properties and background, then each item in stacking order (its flags,
// its object's record and its twin's), then the groups by member index.
// Plain selections are left out: selecting is not an undoable step.
inline std::vector<uint8_t> PageBytes(const CPage& page) {
    CByteWriter w;
    w.WriteString(page.Identifier());
    w.WriteString(page.WebName());
    w.WriteLongString(page.HeaderHtml());
    w.WriteLongString(page.OnloadCode());
    w.WriteInt32(static_cast<int32_t>(page.UsedFiles().size()));
    for (const std::string& file : page.UsedFiles())
        w.WriteString(file);
    w.WriteInt32(page.Width());
    w.WriteInt32(page.Height());
    page.Background().Save(w);
    w.WriteInt32(page.ItemCount());
    for (const auto& item : page.Items()) {
        w.WriteBool(item->HasMouseOver());
        w.WriteBool(item->IsEditingMouseOver());
        w.WriteBool(item->SyncTwins());
        item->Normal().Save(w);
        if (item->MouseOver()) item->MouseOver()->Save(w);
    }
    for (const auto& set : page.Sets()) {
        if (!set->IsGroup()) continue;
        w.WriteInt32(static_cast<int32_t>(set->Count()));
        for (const CPageItem* member : set->Items())
            w.WriteInt32(IndexIn(page, member));
        w.WriteDouble(set->Angle());
    }
    return w.Take();
}

// Drives the page commands at random, each recording the way the real
// command does: once, first, and only when something will change.
class CCommandDriver {
public:
    CCommandDriver(CPage& page, unsigned seed) : m_page(page), m_random(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    CPageItem* AnyItem() {
        return m_page.ItemCount() ? &m_page.ItemAt(Int(0, m_page.ItemCount() - 1)) : nullptr;
    }

    void SelectSome() {
        m_page.DeselectAll();
        const int n = m_page.ItemCount();
        if (n == 0) return;
        const int picks = Int(1, std::min(n, 4));
        for (int k = 0; k < picks; ++k)
            m_page.AddToSelection(m_page.ItemAt(Int(0, n - 1)));
    }

    void Insert() {
        const DPOINT centre{static_cast<double>(Int(20, 600)), static_cast<double>(Int(20, 440))};
        const CObjectSize size{Int(4, 80), Int(4, 80)};
        std::unique_ptr<CPageObject> object;
        switch (Int(0, 3)) {
        case 0:
            object = std::make_unique<CEllipseObject>(centre, size);
            break;
        case 1:
            object = std::make_unique<CHtmlObject>(centre.x, centre.y, size.width, size.height);
            break;
        default:
            object = std::make_unique<CRectObject>(centre, size);
            break;
        }
        CPageItem& item = m_page.InsertItem(std::move(object));
        m_page.SelectOnly(item);
        m_page.RecordUndo(EUndoKind::Insert);
    }

    void Delete() {
        SelectSome();
        if (m_page.SelectedSetCount() == 0) return;
        m_page.RecordUndo(EUndoKind::Delete);
        m_page.History().KeepRemoved(m_page.DeleteSelected());
    }

    void Move() {
        SelectSome();
        if (m_page.SelectedSetCount() == 0) return;
        const int dx = Int(-30, 30), dy = Int(-30, 30);
        if (dx == 0 && dy == 0) return;
        m_page.RecordUndo(EUndoKind::Move);
        for (const auto& set : m_page.Sets())
            if (set->IsSelected()) set->MoveBy(dx, dy);
    }

    // Resizing and turning change the current object of one item.
    void Reshape(bool turn) {
        CPageItem* item = AnyItem();
        if (!item) return;
        m_page.SelectOnly(*item);
        CPageObject& object = item->Current();
        m_page.RecordUndo(EUndoKind::Move);
        if (turn && object.CanRotate())
            object.SetAngle(Int(-314, 314) / 100.0);
        else
            object.SetSize(Int(4, 90), Int(4, 90));
        if (item->Set()) item->Set()->Recompute();
    }

    void Fill() {
        SelectSome();
        if (m_page.SelectedSetCount() == 0) return;
        m_page.RecordUndo(EUndoKind::Fill);
        for (CPageItem* item : Selected()) {
            CPageObject& object = item->Current();
            if (!object.GetFill()) continue;
            auto fill = std::make_unique<CObjectFill>(*object.GetFill());
            fill->SetColour(CColor(Int(0, 255), Int(0, 255), Int(0, 255)));
            object.SetFill(std::move(fill));
        }
    }

    void Effects(bool withFill) {
        SelectSome();
        if (m_page.SelectedSetCount() == 0) return;
        m_page.RecordUndo(withFill ? EUndoKind::FillAndEffects : EUndoKind::Effects);
        for (CPageItem* item : Selected()) {
            CPageObject& object = item->Current();
            if (!object.GetEffects()) continue;
            auto effects = std::make_unique<CEffects>(*object.GetEffects());
            effects->shadowOn = Chance(50);
            effects->shadowDistance = Int(0, 20);
            effects->glowSize = Int(1, 90);
            object.SetEffects(std::move(effects));
            if (withFill && object.GetFill()) {
                auto fill = std::make_unique<CObjectFill>(*object.GetFill());
                fill->SetColour(CColor(Int(0, 255), 0, Int(0, 255)));
                object.SetFill(std::move(fill));
            }
        }
    }

    void Link() {
        CPageItem* item = AnyItem();
        if (!item || !item->Normal().GetLink()) return;
        m_page.SelectOnly(*item);
        m_page.RecordUndo(EUndoKind::Link);
        for (CPageObject* object : {&item->Normal(), item->MouseOver()}) {
            if (!object) continue;
            auto link = std::make_unique<CObjectLink>(*object->GetLink());
            link->enabled = true;
            link->url = "http://www.eksempel.dk/side" + std::to_string(Int(0, 999)) + ".htm";
            object->SetLink(std::move(link));
        }
    }

    void AddTwin() {
        CPageItem* item = AnyItem();
        if (!item || item->MouseOver() || !item->Normal().CanHaveMouseOver()) return;
        auto twin = item->Normal().Clone();
        if (!twin) return;
        m_page.SelectOnly(*item);
        m_page.RecordUndo(EUndoKind::AddMouseOver);
        if (twin->GetFill()) {
            auto fill = std::make_unique<CObjectFill>(*twin->GetFill());
            fill->SetColour(CColor(255, 0, 0));
            twin->SetFill(std::move(fill));
        }
        item->AttachMouseOver(std::move(twin));
    }

    void RemoveTwin() {
        CPageItem* item = AnyItem();
        if (!item || !item->MouseOver()) return;
        m_page.SelectOnly(*item);
        m_page.RecordUndo(EUndoKind::RemoveMouseOver);
        item->RemoveMouseOver();
    }

    void TwinSettings() {
        CPageItem* item = AnyItem();
        if (!item || !item->MouseOver()) return;
        m_page.SelectOnly(*item);
        m_page.RecordUndo(EUndoKind::MouseOverSettings);
        if (Chance(50)) {
            const int x = std::clamp(Int(-120, 120), -100, 100);
            item->SetMouseOverOffset({x, Int(-100, 100)});
        } else {
            item->SetSyncTwins(!item->SyncTwins());
        }
        item->SetEditingMouseOver(Chance(50));
    }

    void Stacking() {
        SelectSome();
        Stack(m_page, static_cast<EStackCommand>(Int(0, 3)));
    }

    void GroupOrNot() {
        if (Chance(50)) {
            SelectSome();
        } else if (CPageItem* item = AnyItem()) {
            m_page.SelectOnly(*item);
        }
        GroupOrUngroup(m_page);
    }

    void Properties() {
        switch (Int(0, 3)) {
        case 0:
            ApplyPageTitle(m_page, "Titel " + std::to_string(Int(0, 9)));
            break;
        case 1:
            ApplyPageWidth(m_page, Int(5, 2100));
            break;
        case 2:
            ApplyPageHeight(m_page, Int(5, 900));
            break;
        default:
            std::string meta = "<meta name=\"x\" content=\"";
            meta += std::to_string(Int(0, 9));
            meta += "\">";
            std::string file = std::to_string(Int(0, 3));
            file += ".js";
            ApplyHeadHtml(m_page, meta, Chance(50) ? "init();" : "", {file});
            break;
        }
    }

    void AnyCommand() {
        switch (Int(0, 16)) {
        case 0:
        case 1:
            Insert();
            break;
        case 2:
            Delete();
            break;
        case 3:
            Move();
            break;
        case 4:
            Reshape(false);
            break;
        case 5:
            Reshape(true);
            break;
        case 6:
            Fill();
            break;
        case 7:
            Effects(false);
            break;
        case 8:
            Effects(true);
            break;
        case 9:
            Link();
            break;
        case 10:
            AddTwin();
            break;
        case 11:
            RemoveTwin();
            break;
        case 12:
            TwinSettings();
            break;
        case 13:
            Stacking();
            break;
        case 14:
            GroupOrNot();
            break;
        case 15:
            Properties();
            break;
        default:
            SelectSome();
            if (m_page.SelectedSetCount() > 0) Align(m_page, static_cast<EAlignCommand>(Int(0, 3)));
            break;
        }
    }

private:
    std::vector<CPageItem*> Selected() const {
        std::vector<CPageItem*> out;
        for (const auto& set : m_page.Sets())
            if (set->IsSelected()) out.insert(out.end(), set->Items().begin(), set->Items().end());
        return out;
    }

    CPage& m_page;
    std::mt19937 m_random;
};

} // namespace pwundo
