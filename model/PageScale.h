#pragma once
#include <memory>

class CPage;

namespace pw {

// A copy of the page for drawing it `scale` (1 to CEffects::kMaxScale) times
// larger, for screens with more pixels per page pixel: the page size, the
// background (its gradient strip at the larger size, its picture with each
// pixel enlarged) and every item, mouse-over twins included, in the same
// stacking order, each object cloned and scaled by its own ScaleBy. Drawn with
// the ordinary page renderer, the copy gives the page at that scale; at scale
// 1 it draws exactly as the page does.
//
// Scaling a copy rather than teaching every renderer a scale keeps scale 1
// untouched by construction and lets each kind say what its pixel measures
// are. Pictures are made again from their source files at the larger size,
// so a picture larger than its place on the page shows its detail; texts keep
// their layout (the same line breaks) and draw their letters larger.
//
// The copy belongs to nobody: it is not in the site, no window shows it and
// it records no undo. Null when an object cannot be copied or memory is
// short.
std::unique_ptr<CPage> ScaledPageCopy(const CPage& page, int scale);

} // namespace pw
