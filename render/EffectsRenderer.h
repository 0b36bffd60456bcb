#pragma once
#include <cstdint>
#include <memory>

class CEffects;
class CImage;
class CUserInteraction;

// The object's image with its effects: larger than the object where a
// shadow or glow reaches outside it; (x, y) is its top-left corner relative
// to the object's.
struct CEffectsOutput {
    std::unique_ptr<CImage> image;
    int32_t x = 0;
    int32_t y = 0;
};

// Whole-pixel shift of the shadow for an angle in degrees (clockwise from
// straight up) and a distance: R(d sin a) and R(-d cos a), where R rounds
// halves up and truncates negative values toward zero.
void ShadowOffset(int32_t angleDegrees, int32_t distance, int32_t& dx, int32_t& dy);

// Composes the object's ARGB image with its effects: object, inner shadow,
// edges, glow, and the cast shadow behind everything. With no effect on the
// output is a copy of the object's image at (0, 0). False when memory runs
// out.
bool RenderWithEffects(CEffects& effects, const CImage& objectImage, CEffectsOutput& output);

// Where long effect renders announce themselves (the wait cursor). Null, the
// default, announces nothing.
void SetEffectsInteraction(CUserInteraction* ui);

// Installs RenderWithEffects as the shapes' effects stage.
void InstallEffectsRenderer();
