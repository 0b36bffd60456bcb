#include "model/ScaleToImageFill.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/ObjectFill.h"
#include <algorithm>
#include <cmath>

namespace {
CPageObject* Candidate(const CPage& page) {
    CPageItem* item = page.SingleSelectedItem();
    if (!item) return nullptr;
    CPageObject& object = item->Current();
    if (!object.CanResize()) return nullptr;
    if (page.IsEditingText()) return nullptr;
    const CObjectFill* fill = object.GetFill();
    if (!fill) return nullptr;
    const auto type = fill->GetType();
    if (type != CObjectFill::fillImage && type != CObjectFill::fillHeldImage) return nullptr;
    return &object;
}

int32_t RoundedSide(double v, int32_t low, int32_t high) {
    const double r = std::floor(v + 0.5);
    if (!(r >= low)) return low;
    if (r > high) return high;
    return static_cast<int32_t>(r);
}
} // namespace

bool CanScaleToImageFill(const CPage& page) {
    return Candidate(page) != nullptr;
}

CObjectSize ScaledToImage(CObjectSize size, int32_t iw, int32_t ih, CObjectSize minSize,
                          CObjectSize maxSize) {
    if (iw <= 0 || ih <= 0) return size;
    const double rx = static_cast<double>(size.width) / iw;
    const double ry = static_cast<double>(size.height) / ih;
    if (rx > ry)
        size.height = RoundedSide(rx * ih, minSize.height, maxSize.height);
    else if (rx < ry)
        size.width = RoundedSide(ry * iw, minSize.width, maxSize.width);
    return size;
}

bool ScaleToImageFill(CPage& page) {
    CPageObject* object = Candidate(page);
    if (!object) return false;
    CObjectFill& fill = *object->GetFill();
    const CObjectSize size = object->GetSize();
    if (!fill.GetImage()) fill.Render(size.width, size.height);
    const CImage* picture = fill.GetImage();
    if (!picture || picture->Width() <= 0 || picture->Height() <= 0) return false;
    const CObjectSize scaled = ScaledToImage(size, picture->Width(), picture->Height(),
                                             object->GetMinSize(), object->GetMaxSize());
    if (scaled == size) return false;
    const CRect before = object->GetBounds(true);
    page.RecordUndo(EUndoKind::Move);
    object->SetSize(scaled);
    const CRect after = object->GetBounds(true);
    page.Repaint({std::min(before.left, after.left), std::min(before.top, after.top),
                  std::max(before.right, after.right), std::max(before.bottom, after.bottom)});
    return true;
}
