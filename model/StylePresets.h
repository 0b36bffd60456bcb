#pragma once
#include "image/Color.h"
#include "services/Gradient.h"
#include <string>

class CEffects;
class CObjectFill;
class CPage;

// The ready-made looks of the styles window: buttons 1 to 18, each setting
// the three effects and possibly the fill of every selected object.
struct CStylePreset {
    struct Shadow {
        bool on = false;
        int distance = 0, size = 0, transparency = 0, type = 0, angle = 0;
        CColor colour;
    };
    struct Edges {
        bool on = false;
        int type = 0, style = 0, size = 0, transparency = 0, angle = 0;
    };
    struct Glow {
        bool on = false;
        int size = 0, transparency = 0, type = 0;
        CColor colour;
    };
    enum class FillKind { Unchanged, Solid, Gradient, Texture };

    Shadow shadow;
    Edges edges;
    Glow glow;
    FillKind fill = FillKind::Unchanged;
    CColor fillColour;
    GRADIENTCOLORS gradient; // kind -1
    int gradientAngle = 0;
    std::string texture; // file name inside the program's Textures folder
};

inline constexpr int kStylePresetCount = 18;

// Preset for button 1..18; null for any other number.
const CStylePreset* StylePreset(int button);

// Changes the records as the preset says. An effect the preset has off is
// switched off with its other fields left alone; an unchanged fill stays.
void ApplyStylePreset(const CStylePreset& preset, CEffects& effects, CObjectFill& fill);

// The command behind a preset button: acts only on a page that is not
// editing text in place and has a selection whose every object can take
// effects and a fill. Records one undo step, gives every selected object
// the changed copies of its effects and fill, then renders and repaints the
// page. False when nothing was done.
bool ApplyStylePreset(CPage* page, int button);
