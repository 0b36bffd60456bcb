#include "image/ImageMode.h"

namespace {
struct ModeInfo {
    int32_t value;
    int planes;      // without alpha
    int alphaPlanes; // with IMAGE_ALPHA set
    int bits;
    int alphaBits;
};

constexpr ModeInfo kModes[] = {
    {IMAGE_GRAY8, 1, 2, 8, 8},     {IMAGE_INDEX8, 1, 2, 8, 8},  {IMAGE_RGB8, 3, 4, 8, 8},
    {IMAGE_NOMODE, 0, 0, 0, 0},    {IMAGE_HLS8, 3, 4, 8, 8},    {IMAGE_HSV8, 3, 4, 8, 8},
    {IMAGE_GRAY16, 1, 2, 16, 16},  {IMAGE_RGB16, 3, 4, 16, 16}, {IMAGE_YCC8, 3, 4, 8, 8},
    {IMAGE_DATA8, 0, 0, 8, 0},     {IMAGE_DATA16, 0, 0, 16, 0}, {IMAGE_DATA32, 0, 0, 32, 0},
    {IMAGE_DATA64, 0, 0, 64, 0},   {IMAGE_MASK8, 0, 1, 8, 8},   {IMAGE_MASK16, 0, 1, 16, 16},
};

const ModeInfo* Find(IMAGE_MODE mode) {
    const int32_t base = WithoutAlpha(mode);
    for (const ModeInfo& m : kModes)
        if (m.value == base) return &m;
    return nullptr;
}
} // namespace

int PlanesOfMode(IMAGE_MODE mode) {
    const ModeInfo* m = Find(mode);
    if (!m) return 0;
    return ModeHasAlpha(mode) ? m->alphaPlanes : m->planes;
}

int BitsPerPlaneOfMode(IMAGE_MODE mode) {
    const ModeInfo* m = Find(mode);
    if (!m) return 0;
    return ModeHasAlpha(mode) ? m->alphaBits : m->bits;
}
