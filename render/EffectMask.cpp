#include "render/EffectMask.h"
#include "image/Image.h"
#include "render/Blend.h"
#include "render/Deriche.h"
#include "services/Geometry.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// 8-bit images holding only an alpha plane.
constexpr IMAGE_MODE kAlphaOnly = WithAlpha(IMAGE_MASK8);

// The smallest box of non-zero bytes; empty when there are none.
CRect NonZeroBox(const uint8_t* bits, std::size_t rowBytes, int width, int height) {
    int left = width, top = height, right = 0, bottom = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bits + y * rowBytes;
        int first = 0;
        while (first < width && row[first] == 0)
            ++first;
        if (first == width) continue;
        int last = width - 1;
        while (row[last] == 0)
            --last;
        left = std::min(left, first);
        right = std::max(right, last + 1);
        top = std::min(top, y);
        bottom = y + 1;
    }
    if (right <= left) return {};
    return {left, top, right, bottom};
}
} // namespace

double EffectSigma(int32_t size) {
    return size * 0.2;
}

int32_t EffectPadding(double sigma) {
    if (!(sigma > 0)) return 0;
    auto p = static_cast<int32_t>(std::ceil(6 * sigma));
    return p % 2 ? p + 1 : p;
}

int ShadowOpacityFactor(int32_t transparency) {
    const double f = std::trunc((1.0 - transparency * 0.01) * 255.0);
    return static_cast<int>(std::clamp(f, 0.0, 255.0));
}

bool BuildEffectMask(const CImage& objectImage, int32_t size, int32_t transparency,
                     CEffects::CMaskCache& cache, int32_t maxSize) {
    const int w = objectImage.Width(), h = objectImage.Height();
    // The record's ranges hold for loaded files; values set in code are held to
    // them here too, so the padded mask (and the blur's float copy of it)
    // never outgrows the object by more than the largest size allows (times
    // the scale of a copy drawn larger).
    const double sigma = EffectSigma(std::clamp(size, 0, maxSize));
    const int pad = EffectPadding(sigma);
    const int half = pad / 2;
    cache = CEffects::CMaskCache{};
    cache.builtSize = size;
    cache.builtTransparency = transparency;
    cache.objectWidth = w;
    cache.objectHeight = h;
    cache.extentWidth = w + pad;
    cache.extentHeight = h + pad;
    if (w <= 0 || h <= 0 || !objectImage.Bits() || !objectImage.HasAlpha()) return true;

    CImage full(kAlphaOnly, w + pad, h + pad, 96.0);
    if (!full.Bits()) return false;
    const std::size_t fullRow = full.RowBytes();
    const std::size_t objRow = objectImage.RowBytes();
    const int step = objectImage.GetPlanes();
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = objectImage.Bits() + y * objRow;
        uint8_t* dst = full.Bits() + (y + half) * fullRow + half;
        for (int x = 0; x < w; ++x)
            dst[x] = src[x * step];
    }
    if (sigma >= 0.2) DericheBlur(full.Bits(), static_cast<int>(fullRow), w + pad, h + pad, sigma);

    const CRect box = NonZeroBox(full.Bits(), fullRow, w + pad, h + pad);
    if (box.IsEmpty()) return true;
    auto mask = std::make_unique<CImage>(kAlphaOnly, box.Width(), box.Height(), 96.0);
    if (!mask->Bits()) return false;
    for (int y = 0; y < box.Height(); ++y)
        std::memcpy(mask->Bits() + y * mask->RowBytes(),
                    full.Bits() + (y + box.top) * fullRow + box.left,
                    static_cast<std::size_t>(box.Width()));
    cache.mask = std::move(mask);
    cache.offsetX = box.left - half;
    cache.offsetY = box.top - half;
    cache.width = box.Width();
    cache.height = box.Height();
    return true;
}

bool IsMaskCurrent(const CEffects::CMaskCache& cache, int32_t size, int32_t transparency,
                   int32_t objectWidth, int32_t objectHeight, bool needsRender) {
    if (needsRender || cache.builtSize != size || cache.builtTransparency != transparency ||
        cache.objectWidth != objectWidth || cache.objectHeight != objectHeight)
        return false;
    // An object without coverage has no mask to keep: it is built again.
    if (!cache.mask) return false;
    const double spread = 6 * EffectSigma(std::max(size, 0));
    const auto within = [spread](int32_t extent, int32_t object) {
        return extent >= object + spread && extent <= object + spread + 100;
    };
    return within(cache.extentWidth, objectWidth) && within(cache.extentHeight, objectHeight);
}

bool CEffects::UpdateMasks(const CImage& objectImage) {
    const int w = objectImage.Width(), h = objectImage.Height();
    const bool stale = needsRender;
    bool shadowRebuilt = false;
    bool ok = true;
    const auto update = [&](bool on, int32_t size, int32_t transparency, CMaskCache& cache) {
        if (!on || IsMaskCurrent(cache, size, transparency, w, h, stale)) return false;
        ok = BuildEffectMask(objectImage, size, transparency, cache, kMaxSize * m_scale) && ok;
        return true;
    };
    if (update(shadowOn, shadowSize, shadowTransparency, m_shadow)) {
        shadowRebuilt = true;
        // The shadow's opacity goes into its mask once, so compositing from
        // the cache needs no further scaling.
        if (CImage* mask = m_shadow.mask.get())
            ScalePlane(mask->Bits(), 1, static_cast<int>(mask->RowBytes()),
                       ShadowOpacityFactor(shadowTransparency), mask->Width(), mask->Height());
    }
    update(edgesOn, edgesSize, edgesTransparency, m_edges);
    update(glowOn, glowSize, glowTransparency, m_glow);
    needsRender = !ok;
    return shadowRebuilt;
}
