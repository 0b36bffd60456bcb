#include "model/ObjectSet.h"
#include "services/Growable.h"
#include "model/PageItem.h"
#include <algorithm>
#include <cmath>

CRect UnionRect(const CRect& a, const CRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

namespace {
// Standard rotation about the origin by angle (y down, so a positive angle
// turns clockwise on screen; the frame undoes the objects' own turn with it).
DPOINT Turn(double x, double y, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {c * x - s * y, s * x + c * y};
}
} // namespace

CObjectSet::CObjectSet(CPageItem* item) : CObjectSet(std::vector<CPageItem*>{item}) {}

CObjectSet::CObjectSet(const std::vector<CPageItem*>& items) {
    m_items.reserve(items.size());
    for (CPageItem* item : items)
        Adopt(item);
    RecomputeFrame();
}

CObjectSet::~CObjectSet() {
    // Members must not keep pointing at a set that is gone.
    for (CPageItem* item : m_items)
        if (item->Set() == this) item->SetSet(nullptr);
}

bool CObjectSet::Contains(const CPageItem* item) const {
    return std::find(m_items.begin(), m_items.end(), item) != m_items.end();
}

void CObjectSet::Adopt(CPageItem* item) {
    ReserveOneMore(m_items);
    m_items.push_back(item);
    item->SetSet(this);
    m_bounds = UnionRect(m_bounds, item->GetRect());
    const CPageObject& object = item->Current();
    m_canRotate = m_canRotate && object.CanRotate();
    m_canScale = m_canScale && object.CanResize();
}

void CObjectSet::Add(CPageItem* item) {
    Adopt(item);
    RecomputeFrame();
}

void CObjectSet::Add(const std::vector<CPageItem*>& items) {
    for (CPageItem* item : items)
        Adopt(item);
    RecomputeFrame();
}

void CObjectSet::Remove(CPageItem* item) {
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end()) return;
    m_items.erase(it);
    if (item->Set() == this) item->SetSet(nullptr);
    Recompute();
}

void CObjectSet::Dissolve() {
    for (CPageItem* item : m_items)
        if (item->Set() == this) item->SetSet(nullptr);
    m_items.clear();
    Recompute();
}

void CObjectSet::RecomputeBounds() {
    m_bounds = {};
    m_canRotate = m_canScale = true;
    for (CPageItem* item : m_items) {
        m_bounds = UnionRect(m_bounds, item->GetRect());
        m_canRotate = m_canRotate && item->Current().CanRotate();
        m_canScale = m_canScale && item->Current().CanResize();
    }
}

void CObjectSet::Recompute() {
    RecomputeBounds();
    RecomputeFrame();
}

void CObjectSet::RecomputeFrame() {
    double minX = 65536, minY = 65536, maxX = -65536, maxY = -65536;
    for (CPageItem* item : m_items) {
        const DPOINT* h = item->Current().GetHandles();
        for (int k = 0; k < 8; ++k) {
            const DPOINT p = Turn(h[k].x, h[k].y, m_angle);
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
    }
    const double l = std::floor(minX), r = std::ceil(maxX);
    const double t = std::floor(minY), b = std::ceil(maxY);
    m_frameWidth = static_cast<int32_t>(r - l);
    m_frameHeight = static_cast<int32_t>(b - t);
    m_centre = Turn((l + r) / 2, (t + b) / 2, -m_angle);

    const double cx = m_centre.x, cy = m_centre.y;
    const double hl = cx - m_frameWidth / 2.0, hr = cx + m_frameWidth / 2.0;
    const double ht = cy - m_frameHeight / 2.0, hb = cy + m_frameHeight / 2.0;
    const double xm = (hl + hr) / 2, ym = (ht + hb) / 2;
    const DPOINT box[8] = {{hl, ht}, {xm, ht}, {hr, ht}, {hl, ym},
                           {hr, ym}, {hl, hb}, {xm, hb}, {hr, hb}};
    for (int k = 0; k < 8; ++k) {
        const DPOINT d = Turn(box[k].x - cx, box[k].y - cy, -m_angle);
        m_handles[k] = {cx + d.x, cy + d.y};
    }
}

void CObjectSet::MoveBy(int32_t dx, int32_t dy) {
    for (CPageItem* item : m_items)
        item->MoveBy(dx, dy);
    m_centre.x += dx;
    m_centre.y += dy;
    if (!m_bounds.IsEmpty()) m_bounds.Offset(dx, dy);
    for (DPOINT& h : m_handles) {
        h.x += dx;
        h.y += dy;
    }
}

void CObjectSet::SetGroup(bool group) {
    m_group = group;
    if (!group) SetAngle(0.0);
}

void CObjectSet::SetAngle(double angle) {
    m_angle = angle;
    RecomputeFrame();
}
