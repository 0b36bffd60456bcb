#pragma once
#include "model/Effects.h"
#include <cstdint>

class CImage;

// The soft masks of the effects: the object's alpha, blurred with a Gaussian
// whose width follows the effect's size, and trimmed to what is not zero.

// sigma = 0.2 * size.
double EffectSigma(int32_t size);
// The margin the blur needs in total: ceil(6 sigma), made even so the object
// sits with equal room on both sides.
int32_t EffectPadding(double sigma);

// Builds the mask of an effect of the given size from the alpha of an ARGB
// object image and stores it, its offset relative to the object and what it
// was built from in the cache. An object with no coverage leaves an empty
// cache entry (null mask, zero size). False when memory runs out. Sizes are
// held to maxSize, so memory stays bounded by the padded object.
bool BuildEffectMask(const CImage& objectImage, int32_t size, int32_t transparency,
                     CEffects::CMaskCache& cache, int32_t maxSize = CEffects::kMaxSize);

// The cache rule: the mask stays when it was built with this size and
// transparency for an object of this size, nothing changed the record since,
// and its extent lies between the object's size + 6 sigma and that + 100.
bool IsMaskCurrent(const CEffects::CMaskCache& cache, int32_t size, int32_t transparency,
                   int32_t objectWidth, int32_t objectHeight, bool needsRender);

// The opacity factor the shadow mask carries once built:
// trunc((1 - transparency * 0.01) * 255), kept within 0..255.
int ShadowOpacityFactor(int32_t transparency);
