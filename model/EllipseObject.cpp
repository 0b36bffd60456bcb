#include "model/EllipseObject.h"

CEllipseObject::CEllipseObject(DPOINT center, CObjectSize size, double angle)
    : CShapeObject(center, size, angle) {
    RebuildOutline();
    UpdateHandles();
}

CEllipseObject::CEllipseObject(const CEllipseObject& other, GeometryOnly tag)
    : CShapeObject(other, tag) {
    RebuildOutline();
    UpdateHandles();
}

std::unique_ptr<CPageObject> CEllipseObject::SnapshotGeometry() const {
    return std::unique_ptr<CPageObject>(new CEllipseObject(*this, GeometryOnly{}));
}

std::unique_ptr<CPageObject> CEllipseObject::Clone() const {
    return std::unique_ptr<CPageObject>(new CEllipseObject(*this));
}

void CEllipseObject::BuildOutline(CPath& path) const {
    const double w = m_size.width - kInset;
    const double h = m_size.height - kInset;
    const double rx = w / 2;
    const double ry = h / 2;
    const double kx = kArcControl * w;
    const double ky = kArcControl * h;
    const double cx = m_center.x;
    const double cy = m_center.y;
    // Four quarter arcs from the right side's midpoint: down, left, up, right.
    const DPOINT pts[13] = {
        {cx + rx, cy},      {cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry},
        {cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy},      {cx - rx, cy - ky},
        {cx - kx, cy - ry}, {cx, cy - ry},      {cx + kx, cy - ry}, {cx + rx, cy - ky},
        {cx + rx, cy},
    };
    DPOINT r[13];
    for (int i = 0; i < 13; ++i)
        r[i] = RotateAbout(m_center, pts[i].x, pts[i].y, m_angle);
    path.MoveTo(r[0].x, r[0].y);
    for (int i = 1; i < 13; i += 3)
        path.CurveTo(r[i].x, r[i].y, r[i + 1].x, r[i + 1].y, r[i + 2].x, r[i + 2].y);
    path.Close();
}
