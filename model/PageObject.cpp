#include "model/PageObject.h"
#include "image/Image.h"
#include "model/ObjectLink.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include <algorithm>
#include <cmath>
#include <limits>

DPOINT RotateAbout(DPOINT c, double x, double y, double angle) {
    const double cs = std::cos(angle);
    const double sn = std::sin(angle);
    const double dx = x - c.x;
    const double dy = y - c.y;
    return {c.x + dx * cs + dy * sn, c.y - dx * sn + dy * cs};
}

CPageObject::CPageObject() = default;
CPageObject::~CPageObject() = default;

void CPageObject::Invalidate() {
    m_dirty = true;
}
void CPageObject::ReleaseImage() {}
CRect CPageObject::GetRect() const {
    return m_rect;
}
const DPOINT* CPageObject::GetHandles() const {
    return m_handles;
}
void CPageObject::SetSize(int32_t, int32_t) {}
void CPageObject::SetSize(CObjectSize size) {
    SetSize(size.width, size.height);
}
double CPageObject::GetAngle() const {
    return 0.0;
}
void CPageObject::SetAngle(double) {}
void CPageObject::RotateTowards(int32_t, int32_t, double, double, bool) {}
bool CPageObject::Render(CPixMap&) {
    return true;
}
bool CPageObject::CanHaveEffects() const {
    return false;
}
bool CPageObject::CanHaveFill() const {
    return false;
}
bool CPageObject::CanHaveLink() const {
    return false;
}
bool CPageObject::CanHaveMouseOver() const {
    return false;
}
bool CPageObject::HasButtonText() const {
    return false;
}
bool CPageObject::RendersAsImage() const {
    return false;
}
bool CPageObject::CanResize() const {
    return false;
}
bool CPageObject::CanRotate() const {
    return false;
}
CObjectSize CPageObject::GetMinSize() const {
    return {1, 1};
}
CObjectSize CPageObject::GetMaxSize() const {
    return {2000, 2000};
}
CObjectFill* CPageObject::GetFill() const {
    return nullptr;
}
CEffects* CPageObject::GetEffects() const {
    return nullptr;
}
CObjectLink* CPageObject::GetLink() const {
    return nullptr;
}
const std::string* CPageObject::GetAltText() const {
    return nullptr;
}

std::unique_ptr<CObjectFill> CPageObject::SetFill(std::unique_ptr<CObjectFill> fill) {
    return fill;
}
std::unique_ptr<CEffects> CPageObject::SetEffects(std::unique_ptr<CEffects> effects) {
    return effects;
}
std::unique_ptr<CObjectLink> CPageObject::SetLink(std::unique_ptr<CObjectLink> link) {
    return link;
}
void CPageObject::SetAltText(std::string) {}
bool CPageObject::OnPageRemoved(int32_t) {
    return false;
}
void CPageObject::OnPageCountChanged(int32_t) {}
void CPageObject::OnPagesReset() {}
std::unique_ptr<CPageObject> CPageObject::Clone() const {
    return nullptr;
}

void CPageObject::ScaleBy(int scale) {
    if (scale == 1) return;
    const DPOINT c = GetCenter();
    SetCenter({c.x * scale, c.y * scale});
    SetOffsetX(m_mouseOverOffset.x * scale);
    SetOffsetY(m_mouseOverOffset.y * scale);
}

void CPageObject::SetOffsetX(int32_t x) {
    ShiftRectAndHandles(x - m_mouseOverOffset.x, 0);
    m_mouseOverOffset.x = x;
}

void CPageObject::SetOffsetY(int32_t y) {
    ShiftRectAndHandles(0, y - m_mouseOverOffset.y);
    m_mouseOverOffset.y = y;
}

void CPageObject::ShiftRectAndHandles(int32_t dx, int32_t dy) {
    m_rect.Offset(dx, dy);
    for (DPOINT& h : m_handles) {
        h.x += dx;
        h.y += dy;
    }
}

void CPageObject::SetBoxHandles(DPOINT c, double width, double height, double angle) {
    const double x0 = c.x - width / 2;
    const double x1 = c.x + width / 2;
    const double y0 = c.y - height / 2;
    const double y1 = c.y + height / 2;
    const double xm = (x0 + x1) / 2;
    const double ym = (y0 + y1) / 2;
    const DPOINT box[handleCount] = {{x0, y0}, {xm, y0}, {x1, y0}, {x0, ym},
                                     {x1, ym}, {x0, y1}, {xm, y1}, {x1, y1}};
    for (int i = 0; i < handleCount; ++i) {
        DPOINT p = angle == 0.0 ? box[i] : RotateAbout(c, box[i].x, box[i].y, angle);
        m_handles[i] = {p.x + m_mouseOverOffset.x, p.y + m_mouseOverOffset.y};
    }
}

namespace {
// Handles far outside any page (a corrupt stream) must not overflow the
// integer rectangle.
int ClampToInt(double v) {
    constexpr double lo = std::numeric_limits<int>::min() / 2;
    constexpr double hi = std::numeric_limits<int>::max() / 2;
    if (!(v >= lo)) return static_cast<int>(lo);
    if (v > hi) return static_cast<int>(hi);
    return static_cast<int>(v);
}
} // namespace

CRect CPageObject::HandleExtent(const int* indices, int count) const {
    double minX = m_handles[indices[0]].x, maxX = minX;
    double minY = m_handles[indices[0]].y, maxY = minY;
    for (int i = 1; i < count; ++i) {
        const DPOINT& h = m_handles[indices[i]];
        minX = std::min(minX, h.x);
        maxX = std::max(maxX, h.x);
        minY = std::min(minY, h.y);
        maxY = std::max(maxY, h.y);
    }
    return {ClampToInt(std::floor(minX)), ClampToInt(std::floor(minY)), ClampToInt(std::ceil(maxX)),
            ClampToInt(std::ceil(maxY))};
}

CRect CPageObject::BoundsFromHandles(bool fromHandles) const {
    if (!fromHandles) return m_rect;
    static constexpr int all[handleCount] = {0, 1, 2, 3, 4, 5, 6, 7};
    return HandleExtent(all, handleCount);
}

CRect CPageObject::HandleBoundsFromCorners() const {
    static constexpr int corners[4] = {handleTopLeft, handleTopRight, handleBottomLeft,
                                       handleBottomRight};
    CRect r = HandleExtent(corners, 4);
    return {r.left - 3, r.top - 3, r.right + 3, r.bottom + 3};
}
