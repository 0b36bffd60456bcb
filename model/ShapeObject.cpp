#include "model/ShapeObject.h"
#include "image/Image.h"
#include "model/AltText.h"
#include "model/BackgroundFill.h"
#include "model/ButtonText.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "model/ObjectLink.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <cmath>
#include <numbers>

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;

// True when d is a whole number of pixels; a fraction below 0.0001 in
// magnitude is rounding noise from the caller's arithmetic.
bool WholePixels(double d, int32_t& whole) {
    if (!(std::fabs(d) < 1e9)) return false;
    const double t = std::trunc(d);
    if (std::fabs(d - t) >= 0.0001) return false;
    whole = static_cast<int32_t>(t);
    return true;
}
} // namespace

double SnapAngle(double angle) {
    constexpr double eighth = std::numbers::pi / 8;
    for (int k = 0; k < 8; ++k) {
        if (angle < (2 * k + 1) * eighth) return k * (std::numbers::pi / 4);
    }
    return 0.0;
}

CShapeRenderHooks& CShapeObject::RenderHooks() {
    static CShapeRenderHooks hooks;
    return hooks;
}

CShapeObject::CShapeObject(DPOINT center, CObjectSize size, double angle)
    : m_fill(std::make_unique<CObjectFill>()), m_effects(std::make_unique<CEffects>()),
      m_link(std::make_unique<CObjectLink>()),
      m_buttonText(std::make_unique<CButtonText>()), m_size{std::max(size.width, 0),
                                                            std::max(size.height, 0)},
      m_angle(angle), m_center(center) {}

CShapeObject::CShapeObject(const CShapeObject& other)
    : CPageObject(), m_altText(other.m_altText), m_size(other.m_size), m_angle(other.m_angle),
      m_center(other.m_center), m_outline(other.m_outline), m_pendingMove(other.m_pendingMove) {
    if (other.m_fill) m_fill = std::make_unique<CObjectFill>(*other.m_fill);
    if (other.m_effects) m_effects = std::make_unique<CEffects>(*other.m_effects);
    if (other.m_link) m_link = std::make_unique<CObjectLink>(*other.m_link);
    if (other.m_buttonText) m_buttonText = std::make_unique<CButtonText>(*other.m_buttonText);
    m_rect = other.m_rect;
    for (int i = 0; i < handleCount; ++i)
        m_handles[i] = other.m_handles[i];
    m_mouseOverOffset = other.m_mouseOverOffset;
}

CShapeObject::CShapeObject(const CShapeObject& other, GeometryOnly)
    : CPageObject(), m_altText(other.m_altText), m_size(other.m_size), m_angle(other.m_angle),
      m_center(other.m_center) {
    if (other.m_buttonText) m_buttonText = std::make_unique<CButtonText>(*other.m_buttonText);
}

CShapeObject::~CShapeObject() = default;

void CShapeObject::MarkChanged() {
    Invalidate();
    if (m_fill) m_fill->Invalidate();
    if (m_effects) m_effects->Invalidate();
}

void CShapeObject::ReleaseImage() {
    m_image.reset();
    MarkChanged();
}

CPixelShift CShapeObject::OutlineShift() const {
    return {m_mouseOverOffset.x + m_pendingMove.x, m_mouseOverOffset.y + m_pendingMove.y};
}

void CShapeObject::RebuildOutline() {
    m_outline.Clear();
    BuildOutline(m_outline);
    m_pendingMove = {};
    m_rect = RenderedBounds();
    m_rect.Offset(m_mouseOverOffset.x, m_mouseOverOffset.y);
}

CRect CShapeObject::RenderedBounds() const {
    CRect r = m_outline.GetBoundingBox();
    r.Offset(m_pendingMove.x, m_pendingMove.y);
    return r;
}

void CShapeObject::UpdateHandles() {
    SetBoxHandles(m_center, m_size.width, m_size.height, m_angle);
}

DPOINT CShapeObject::GetCenter() const {
    return m_center;
}

void CShapeObject::SetCenterRaw(double x, double y) {
    m_center = {x, y};
}

void CShapeObject::MoveBy(int32_t dx, int32_t dy) {
    m_center.x += dx;
    m_center.y += dy;
    ShiftRectAndHandles(dx, dy);
    m_pendingMove.x += dx;
    m_pendingMove.y += dy;
}

void CShapeObject::SetCenter(DPOINT center) {
    int32_t dx = 0, dy = 0;
    if (WholePixels(center.x - m_center.x, dx) && WholePixels(center.y - m_center.y, dy)) {
        MoveBy(dx, dy);
        m_center = center;
        return;
    }
    m_center = center;
    RebuildOutline();
    UpdateHandles();
    MarkChanged();
}

CObjectSize CShapeObject::GetSize() const {
    return m_size;
}

void CShapeObject::SetSize(int32_t width, int32_t height) {
    const CObjectSize size{std::max(width, 0), std::max(height, 0)};
    if (size == m_size) return;
    m_size = size;
    MarkChanged();
    RebuildOutline();
    UpdateHandles();
}

double CShapeObject::GetAngle() const {
    return m_angle;
}

void CShapeObject::SetAngle(double angle) {
    if (angle == m_angle) return;
    m_angle = angle;
    MarkChanged();
    RebuildOutline();
    UpdateHandles();
}

void CShapeObject::RotateTowards(int32_t mouseX, int32_t mouseY, double mouseAngle0,
                                 double objectAngle0, bool snap) {
    const double cx = m_center.x + m_mouseOverOffset.x;
    const double cy = m_center.y + m_mouseOverOffset.y;
    double theta = std::atan2(mouseY - cy, mouseX - cx);
    if (theta < 0) theta += kTwoPi;
    double alpha = objectAngle0 + (mouseAngle0 - theta);
    if (alpha < 0) alpha += kTwoPi;
    if (alpha > kTwoPi) alpha -= kTwoPi;
    if (snap) alpha = SnapAngle(alpha);
    SetAngle(alpha);
}

CRect CShapeObject::GetBounds(bool fromHandles) const {
    return BoundsFromHandles(fromHandles);
}
CRect CShapeObject::GetHandleBounds() const {
    return HandleBoundsFromCorners();
}

CObjectFill* CShapeObject::GetFill() const {
    return m_fill.get();
}
CEffects* CShapeObject::GetEffects() const {
    return m_effects.get();
}
CObjectLink* CShapeObject::GetLink() const {
    return m_link.get();
}
const std::string* CShapeObject::GetAltText() const {
    return &m_altText;
}

std::unique_ptr<CObjectFill> CShapeObject::SetFill(std::unique_ptr<CObjectFill> fill) {
    std::swap(fill, m_fill);
    Invalidate();
    return fill;
}

std::unique_ptr<CEffects> CShapeObject::SetEffects(std::unique_ptr<CEffects> effects) {
    std::swap(effects, m_effects);
    if (m_effects) m_effects->ResetExtents();
    Invalidate();
    return effects;
}

std::unique_ptr<CObjectLink> CShapeObject::SetLink(std::unique_ptr<CObjectLink> link) {
    std::swap(link, m_link);
    return link;
}

void CShapeObject::SetAltText(std::string altText) {
    m_altText = std::move(altText);
}

void CShapeObject::SetButtonText(const CButtonText& label) {
    SetButtonText(std::make_unique<CButtonText>(label));
}

void CShapeObject::SetButtonText(std::unique_ptr<CButtonText> label) {
    if (!label) return;
    // The label is painted into the fill texture, so a new label needs both
    // the texture and the image made again.
    if (!m_buttonText || !(*m_buttonText == *label)) {
        if (m_fill) m_fill->Invalidate();
        Invalidate();
    }
    m_buttonText = std::move(label);
}

bool CShapeObject::PrepareAndRender(CPixMap& work) {
    // Textures are made at the object's own size; a picture that cannot be
    // found is asked for through the open site's picture context, or renders
    // without it when there is none.
    if (m_dirty && m_fill && m_fill->NeedsRender())
        m_fill->Render(m_size.width, m_size.height, CBackgroundFill::DefaultPictureContext());
    return Render(work);
}

bool CShapeObject::OnPageRemoved(int32_t pageIndex) {
    return m_link ? m_link->OnPageRemoved(pageIndex) : false;
}
void CShapeObject::OnPageCountChanged(int32_t pageCount) {
    if (m_link) m_link->OnPageCountChanged(pageCount);
}
void CShapeObject::OnPagesReset() {
    if (m_link) m_link->OnPagesReset();
}

int32_t CShapeObject::EstimateBytes(double pixelsPerByte) const {
    const double area = static_cast<double>(m_rect.Width()) * m_rect.Height();
    const double bytes = pixelsPerByte > 0 ? area / pixelsPerByte : area;
    if (!(bytes < 2147483647.0)) return 2147483647;
    return static_cast<int32_t>(bytes);
}

void CShapeObject::ScaleBy(int scale) {
    if (scale == 1) return;
    m_center = {m_center.x * scale, m_center.y * scale};
    m_size = {m_size.width * scale, m_size.height * scale};
    m_mouseOverOffset = {m_mouseOverOffset.x * scale, m_mouseOverOffset.y * scale};
    if (m_effects) m_effects->ScaleBy(scale);
    if (m_buttonText) {
        m_buttonText->fontSize *= scale;
        m_buttonText->shadowDistance *= scale;
    }
    MarkChanged();
    RebuildOutline();
    UpdateHandles();
}

void CShapeObject::SwapGeometry(CPageObject& other) {
    auto* o = dynamic_cast<CShapeObject*>(&other);
    if (!o || o == this || o->GetKind() != GetKind()) return;
    const DPOINT center = m_center;
    const CObjectSize size = m_size;
    const double angle = m_angle;
    // Copies, so that each side compares the incoming label with its own.
    auto copyLabel = [](const std::unique_ptr<CButtonText>& l) -> std::unique_ptr<CButtonText> {
        return l ? std::make_unique<CButtonText>(*l) : nullptr;
    };
    std::unique_ptr<CButtonText> label = copyLabel(m_buttonText);
    std::string altText = m_altText;

    SetCenter(o->m_center);
    SetSize(o->m_size);
    SetAngle(o->m_angle);
    SetButtonText(copyLabel(o->m_buttonText));
    SetAltText(o->m_altText);

    o->SetCenter(center);
    o->SetSize(size);
    o->SetAngle(angle);
    o->SetButtonText(std::move(label));
    o->SetAltText(std::move(altText));
}

void CShapeObject::Save(CByteWriter& writer) const {
    writer.WriteTag(StreamTagOfKind(GetKind()));
    SavePlacement(writer);
    writer.WriteInt32(m_mouseOverOffset.x);
    writer.WriteInt32(m_mouseOverOffset.y);
    // Undo snapshots hold no records; they still write a complete layout.
    (m_fill ? *m_fill : CObjectFill()).Save(writer);
    (m_effects ? *m_effects : CEffects()).Save(writer);
    if (m_link) m_link->Save(writer);
    if (m_buttonText) m_buttonText->Save(writer);
    SaveAltText(writer, m_altText);
}

void CShapeObject::SavePlacement(CByteWriter& writer) const {
    writer.WriteInt32(m_size.width);
    writer.WriteInt32(m_size.height);
    writer.WriteDouble(m_angle);
    writer.WriteDouble(m_center.x);
    writer.WriteDouble(m_center.y);
    writer.WriteInt32(m_rect.left);
    writer.WriteInt32(m_rect.top);
    writer.WriteInt32(m_rect.right);
    writer.WriteInt32(m_rect.bottom);
}

CShapeObject::CPlacement CShapeObject::LoadPlacement(CByteReader& reader, const std::string& kind) {
    const auto coordinate = [&](double limit, const char* what) {
        const std::size_t at = reader.Tell();
        const double v = reader.ReadDouble();
        if (!std::isfinite(v) || std::fabs(v) > limit)
            reader.FailAt(kind + " " + what + " out of range", at);
        return v;
    };
    CPlacement p;
    p.size.width = reader.ReadInt32Range(0, kMaxStoredSize, (kind + " width").c_str());
    p.size.height = reader.ReadInt32Range(0, kMaxStoredSize, (kind + " height").c_str());
    p.angle = coordinate(1e6, "angle");
    p.center.x = coordinate(kMaxStoredCoordinate, "centre x");
    p.center.y = coordinate(kMaxStoredCoordinate, "centre y");
    p.rect.left = reader.ReadInt32();
    p.rect.top = reader.ReadInt32();
    p.rect.right = reader.ReadInt32();
    p.rect.bottom = reader.ReadInt32();
    return p;
}

void CShapeObject::Load(CByteReader& reader, const CStreamVersion& version) {
    // Everything is read into locals first, so a malformed stream leaves the
    // object exactly as it was.
    const CPlacement placement = LoadPlacement(reader, "shape");
    CPixelShift offset;
    offset.x = reader.ReadInt32Range(-kMaxOffset, kMaxOffset, "mouse-over offset x");
    offset.y = reader.ReadInt32Range(-kMaxOffset, kMaxOffset, "mouse-over offset y");

    auto fill = std::make_unique<CObjectFill>();
    fill->Load(reader, version);
    auto effects = std::make_unique<CEffects>();
    effects->Load(reader, version);
    auto link = std::make_unique<CObjectLink>();
    link->Load(reader, version);
    auto label = std::make_unique<CButtonText>();
    label->Load(reader, version);
    std::string altText;
    LoadAltText(reader, version, altText);

    m_size = placement.size;
    m_angle = placement.angle;
    m_center = placement.center;
    m_mouseOverOffset = offset;
    m_fill = std::move(fill);
    m_effects = std::move(effects);
    m_link = std::move(link);
    m_buttonText = std::move(label);
    m_altText = std::move(altText);
    m_image.reset();
    RebuildOutline();
    UpdateHandles();
    // The stored rect is what the object covered when it was saved; it is
    // kept until the next rendering recomputes it.
    m_rect = placement.rect;
    m_dirty = true;
}
