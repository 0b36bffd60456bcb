#include "model/StylePresets.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageObject.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/DataFolders.h"
#include <array>
#include <memory>

namespace {
using P = CStylePreset;

P::Shadow Shadow(int distance, int size, int angle, CColor colour) {
    return {true, distance, size, 50, 0, angle, colour};
}
P::Edges Edges(int type, int style, int size, int transparency) {
    return {true, type, style, size, transparency, 135};
}
P::Glow Glow(int transparency, int type, CColor colour) {
    return {true, 50, transparency, type, colour};
}

struct CStop {
    double position;
    CColor before, after;
};

GRADIENTCOLORS Gradient(CColor start, CColor end, std::initializer_list<CStop> stops) {
    GRADIENTCOLORS g;
    g.startColour = start;
    g.endColour = end;
    for (const CStop& s : stops) {
        g.stopPositions.push_back(s.position);
        g.stopColoursBefore.push_back(s.before);
        g.stopColoursAfter.push_back(s.after);
    }
    g.kind = -1;
    return g;
}

void SetGradient(P& p, const GRADIENTCOLORS& g, int angle) {
    p.fill = P::FillKind::Gradient;
    p.gradient = g;
    p.gradientAngle = angle;
}
void SetSolid(P& p, CColor c) {
    p.fill = P::FillKind::Solid;
    p.fillColour = c;
}
void SetTexture(P& p, const char* name) {
    p.fill = P::FillKind::Texture;
    p.texture = name;
}

std::array<P, kStylePresetCount> MakePresets() {
    const CColor black(0, 0, 0), white(255, 255, 255), blue(0, 0, 255);
    std::array<P, kStylePresetCount> p{};
    p[0].shadow = Shadow(5, 10, 135, black);
    p[1].edges = Edges(0, 0, 25, 50);
    p[2].edges = Edges(1, 0, 25, 50);
    p[3].shadow = p[0].shadow;
    SetGradient(p[3], Gradient(CColor(0, 84, 155), CColor(233, 243, 255), {}), 315);
    p[4].edges = Edges(3, 0, 25, 50);
    SetSolid(p[4], CColor(255, 0, 0));
    p[5].glow = Glow(0, 1, CColor(255, 255, 0));
    p[6].edges = Edges(1, 0, 25, 50);
    SetGradient(p[6],
                Gradient(CColor(151, 70, 26), CColor(239, 219, 205),
                         {{0.3, CColor(251, 216, 197), CColor(251, 216, 197)},
                          {0.83, CColor(108, 46, 22), CColor(108, 46, 22)}}),
                0);
    p[7].glow = Glow(25, 2, CColor(0, 255, 0));
    SetTexture(p[7], "tex1.jpg");
    {
        // Ten solid stripes: each stop switches between blue and white.
        GRADIENTCOLORS g = Gradient(blue, white, {});
        for (int k = 1; k <= 9; ++k) {
            const bool odd = k % 2 == 1;
            g.stopPositions.push_back(k / 10.0);
            g.stopColoursBefore.push_back(odd ? blue : white);
            g.stopColoursAfter.push_back(odd ? white : blue);
        }
        SetGradient(p[8], g, 315);
    }
    SetTexture(p[9], "tex2.jpg");
    p[10].edges = Edges(1, 0, 20, 0);
    p[10].glow = Glow(25, 2, CColor(255, 138, 0));
    SetTexture(p[10], "tex3.jpg");
    SetSolid(p[11], blue);
    p[12].shadow = Shadow(10, 2, 315, CColor(2, 174, 14));
    p[13].edges = Edges(0, 1, 15, 0);
    SetSolid(p[13], black);
    SetGradient(p[14],
                Gradient(CColor(9, 0, 178), CColor(255, 252, 0),
                         {{0.5, CColor(255, 0, 0), CColor(255, 0, 0)}}),
                90);
    SetTexture(p[15], "tex5.jpg");
    const CColor green(0, 200, 0), yellow(255, 252, 0);
    SetGradient(p[16], Gradient(green, green, {{0.25, green, yellow}, {0.75, yellow, green}}), 0);
    p[17].shadow = Shadow(15, 20, 315, black);
    SetTexture(p[17], "tex4.jpg");
    return p;
}

bool CanTakePreset(const CPageObject& object) {
    return object.CanHaveEffects() && object.CanHaveFill() && object.GetEffects() &&
           object.GetFill();
}
} // namespace

const CStylePreset* StylePreset(int button) {
    static const std::array<P, kStylePresetCount> presets = MakePresets();
    if (button < 1 || button > kStylePresetCount) return nullptr;
    return &presets[static_cast<std::size_t>(button - 1)];
}

void ApplyStylePreset(const CStylePreset& p, CEffects& e, CObjectFill& fill) {
    e.shadowOn = p.shadow.on;
    if (p.shadow.on) {
        e.shadowDistance = p.shadow.distance;
        e.shadowSize = p.shadow.size;
        e.shadowTransparency = p.shadow.transparency;
        e.shadowType = p.shadow.type;
        e.shadowAngle = p.shadow.angle;
        e.shadowColour = p.shadow.colour;
    }
    e.edgesOn = p.edges.on;
    if (p.edges.on) {
        e.edgesType = p.edges.type;
        e.edgesStyle = p.edges.style;
        e.edgesSize = p.edges.size;
        e.edgesTransparency = p.edges.transparency;
        e.edgesAngle = p.edges.angle;
    }
    e.glowOn = p.glow.on;
    if (p.glow.on) {
        e.glowSize = p.glow.size;
        e.glowTransparency = p.glow.transparency;
        e.glowType = p.glow.type;
        e.glowColour = p.glow.colour;
    }
    e.needsRender = true;
    switch (p.fill) {
    case P::FillKind::Unchanged:
        break;
    case P::FillKind::Solid:
        fill.SetColour(p.fillColour);
        break;
    case P::FillKind::Gradient:
        fill.SetGradient(CFillGradient(p.gradient, p.gradientAngle));
        break;
    case P::FillKind::Texture:
        fill.SetImagePath(CDataFolders::WithTrailingSlash(CDataFolders::DataFolder()) +
                          "Textures/" + p.texture);
        break;
    }
}

bool ApplyStylePreset(CPage* page, int button) {
    const CStylePreset* preset = StylePreset(button);
    if (!preset || !page || page->IsEditingText() || page->SelectedSetCount() == 0) return false;
    for (const auto& set : page->Sets()) {
        if (!set->IsSelected()) continue;
        for (const CPageItem* item : set->Items())
            if (!CanTakePreset(item->Current())) return false;
    }
    page->RecordUndo(EUndoKind::FillAndEffects);
    for (const auto& set : page->Sets()) {
        if (!set->IsSelected()) continue;
        for (const CPageItem* item : set->Items()) {
            CPageObject& object = item->Current();
            auto effects = std::make_unique<CEffects>(*object.GetEffects());
            auto fill = std::make_unique<CObjectFill>(*object.GetFill());
            ApplyStylePreset(*preset, *effects, *fill);
            object.SetEffects(std::move(effects));
            object.SetFill(std::move(fill));
        }
    }
    page->RenderAll();
    page->Repaint();
    return true;
}
