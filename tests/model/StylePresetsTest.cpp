#include "model/StylePresets.h"
#include "tests/support/EditingText.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include <gtest/gtest.h>

namespace {
struct CPresetPage {
    CSite site{"Test",
               CBackgroundFill(CColor(255, 255, 255)),
               400,
               300,
               CColor(0, 0, 255),
               CColor(128, 0, 128)};
    CPage* page = nullptr;
    CPresetPage() { page = &site.AddPage(std::make_unique<CPage>(site, "Side1", "Web")); }

    CRectObject& Add(DPOINT centre) {
        auto object = std::make_unique<CRectObject>(centre, CObjectSize{40, 30});
        object->GetFill()->SetColour(CColor(1, 2, 3));
        CRectObject& ref = *object;
        CPageItem& item = page->InsertItem(std::move(object));
        page->AddToSelection(item);
        return ref;
    }
    int Recorded() const {
        auto* history = dynamic_cast<CCountingUndoRecorder*>(&page->History());
        return history ? history->Count(EUndoKind::FillAndEffects) : -1;
    }
};
} // namespace

TEST(StylePresetsTest, PresetTableEntries) {
    EXPECT_EQ(StylePreset(0), nullptr);
    EXPECT_EQ(StylePreset(19), nullptr);
    const CStylePreset& nine = *StylePreset(9);
    ASSERT_EQ(nine.gradient.StopCount(), 9u);
    EXPECT_EQ(nine.gradientAngle, 315);
    EXPECT_EQ(nine.gradient.kind, -1);
    for (int k = 0; k < 9; ++k) {
        EXPECT_DOUBLE_EQ(nine.gradient.stopPositions[k], (k + 1) / 10.0);
        const bool blueFirst = k % 2 == 0; // stops at 0.1, 0.3, ...
        EXPECT_EQ(nine.gradient.stopColoursBefore[k].GetCOLORREF(),
                  blueFirst ? 0xFF0000u : 0xFFFFFFu);
        EXPECT_EQ(nine.gradient.stopColoursAfter[k].GetCOLORREF(),
                  blueFirst ? 0xFFFFFFu : 0xFF0000u);
    }
    EXPECT_EQ(StylePreset(4)->shadow.distance, StylePreset(1)->shadow.distance);
    EXPECT_TRUE(StylePreset(11)->edges.on && StylePreset(11)->glow.on);
    EXPECT_EQ(StylePreset(11)->texture, "tex3.jpg");
    EXPECT_EQ(StylePreset(17)->gradient.stopColoursAfter[0].GetCOLORREF(), 0x00FCFFu);
}

TEST(StylePresetsTest, AppliesToEverySelectedObjectWithOneUndoStep) {
    CPresetPage t;
    CRectObject& a = t.Add({100, 100});
    CRectObject& b = t.Add({200, 150});
    a.GetEffects()->edgesOn = true;
    a.GetEffects()->edgesSize = 33; // must survive being switched off
    ASSERT_EQ(t.page->SelectedItemCount(), 2);

    ASSERT_TRUE(ApplyStylePreset(t.page, 13));
    EXPECT_EQ(t.Recorded(), 1);
    for (CRectObject* o : {&a, &b}) {
        const CEffects& e = *o->GetEffects();
        EXPECT_TRUE(e.shadowOn);
        EXPECT_EQ(e.shadowDistance, 10);
        EXPECT_EQ(e.shadowSize, 2);
        EXPECT_EQ(e.shadowAngle, 315);
        EXPECT_EQ(e.shadowColour.GetCOLORREF(), CColor(2, 174, 14).GetCOLORREF());
        EXPECT_FALSE(e.edgesOn);
        EXPECT_FALSE(e.glowOn);
        EXPECT_EQ(o->GetFill()->GetColour().GetCOLORREF(), CColor(1, 2, 3).GetCOLORREF());
        // Rendered again, with the shadow around the object.
        EXPECT_FALSE(o->IsDirty());
    }
    EXPECT_EQ(a.GetEffects()->edgesSize, 33);

    ASSERT_TRUE(ApplyStylePreset(t.page, 5));
    EXPECT_EQ(t.Recorded(), 2);
    EXPECT_FALSE(b.GetEffects()->shadowOn);
    EXPECT_TRUE(b.GetEffects()->edgesOn);
    EXPECT_EQ(b.GetEffects()->edgesType, 3);
    EXPECT_EQ(b.GetFill()->GetType(), CObjectFill::fillSolid);
    EXPECT_EQ(b.GetFill()->GetColour().GetCOLORREF(), 0x0000FFu);

    ASSERT_TRUE(ApplyStylePreset(t.page, 8));
    EXPECT_EQ(a.GetFill()->GetType(), CObjectFill::fillImage);
    const std::string path = a.GetFill()->GetImagePath();
    EXPECT_EQ(path.substr(path.size() - 17), "Textures/tex1.jpg");
    EXPECT_EQ(a.GetEffects()->glowColour.GetCOLORREF(), 0x00FF00u);

    ASSERT_TRUE(ApplyStylePreset(t.page, 15));
    EXPECT_EQ(a.GetFill()->GetType(), CObjectFill::fillGradient);
    EXPECT_EQ(a.GetFill()->GetGradient().angle, 90);
    EXPECT_EQ(a.GetFill()->GetGradient().StopCount(), 1u);
}

TEST(StylePresetsTest, RefusedWithoutSelectionInTextEditingOrForPictures) {
    CPresetPage t;
    EXPECT_FALSE(ApplyStylePreset(nullptr, 1));
    EXPECT_FALSE(ApplyStylePreset(t.page, 1)); // nothing selected
    CRectObject& a = t.Add({100, 100});
    EXPECT_FALSE(ApplyStylePreset(t.page, 0));
    {
        pwtest::CEditingText editing(*t.page);
        EXPECT_FALSE(ApplyStylePreset(t.page, 1));
    }

    // A picture among the selection takes neither effects nor fills: nothing
    // happens to anyone.
    CRectObject& picture = t.Add({250, 150});
    picture.GetFill()->SetPicture(true);
    EXPECT_FALSE(ApplyStylePreset(t.page, 1));
    EXPECT_EQ(t.Recorded(), 0);
    EXPECT_FALSE(a.GetEffects()->shadowOn);
}
