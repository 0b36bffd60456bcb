#include "model/RectObject.h"
#include "model/ObjectFill.h"

CRectObject::CRectObject(DPOINT center, CObjectSize size, double angle)
    : CShapeObject(center, size, angle) {
    RebuildOutline();
    UpdateHandles();
}

CRectObject::CRectObject(const CRectObject& other, GeometryOnly tag) : CShapeObject(other, tag) {
    RebuildOutline();
    UpdateHandles();
}

bool CRectObject::IsPicture() const {
    return m_fill && m_fill->IsPicture();
}

std::unique_ptr<CPageObject> CRectObject::SnapshotGeometry() const {
    return std::unique_ptr<CPageObject>(new CRectObject(*this, GeometryOnly{}));
}

std::unique_ptr<CPageObject> CRectObject::Clone() const {
    return std::unique_ptr<CPageObject>(new CRectObject(*this));
}

void CRectObject::BuildOutline(CPath& path) const {
    const double hw = m_size.width / 2.0;
    const double hh = m_size.height / 2.0;
    const DPOINT c = m_center;
    const DPOINT corners[4] = {
        {c.x - hw, c.y - hh}, {c.x + hw, c.y - hh}, {c.x + hw, c.y + hh}, {c.x - hw, c.y + hh}};
    for (int i = 0; i < 4; ++i) {
        const DPOINT p = RotateAbout(c, corners[i].x, corners[i].y, m_angle);
        if (i == 0)
            path.MoveTo(p.x, p.y);
        else
            path.LineTo(p.x, p.y);
    }
    path.Close();
}
