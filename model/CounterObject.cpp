#include "model/CounterObject.h"
#include "image/Image.h"
#include "model/ObjectLink.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/CurrentSettings.h"
#include "services/Settings.h"
#include <algorithm>

int32_t CCounterObject::TakeNumber() {
    CSettings& settings = MutableCurrentSettings();
    const int32_t id = settings.GetCounterId();
    settings.SetCounterId(id + 1);
    return id;
}

CCounterObject::CCounterObject(int32_t style, DPOINT point)
    : m_style(std::clamp(style, 0, kStyleCount - 1)), m_link(std::make_unique<CObjectLink>()),
      m_counterId(TakeNumber()) {
    RenderPicture();
    m_rect = RectAroundPoint(point, m_size.width, m_size.height);
    m_center = MiddleOf(m_rect);
    UpdateHandles();
}

CCounterObject::CCounterObject(int32_t style, double cx, double cy)
    : CCounterObject(style, DPOINT{cx, cy}, NoNumber{}) {
    m_link = std::make_unique<CObjectLink>();
    m_counterId = TakeNumber();
}

CCounterObject::CCounterObject(int32_t style, DPOINT center, NoNumber)
    : m_style(std::clamp(style, 0, kStyleCount - 1)) {
    RenderPicture();
    m_center = center;
    m_rect = RectAroundStoredCenter(center, m_size.width, m_size.height);
    UpdateHandles();
}

CCounterObject::~CCounterObject() = default;

std::unique_ptr<CCounterObject> CCounterObject::MakeForLoad() {
    auto counter = std::unique_ptr<CCounterObject>(new CCounterObject(0, DPOINT{0, 0}, NoNumber{}));
    counter->m_link = std::make_unique<CObjectLink>();
    return counter;
}

bool CCounterObject::Render(CPixMap&) {
    return true;
}

std::unique_ptr<CObjectLink> CCounterObject::SetLink(std::unique_ptr<CObjectLink> link) {
    std::swap(link, m_link);
    return link;
}

bool CCounterObject::RenderPicture() {
    return TakePicture(object_pictures::Counter(m_style));
}

bool CCounterObject::PrepareAndRender(CPixMap&) {
    if (!m_dirty) return true;
    return RenderPicture();
}

void CCounterObject::UpdateHandles() {
    SetHandlesFromRect();
}

void CCounterObject::SetCounterStyle(int32_t style) {
    if (style == m_style || style < 0 || style >= kStyleCount) return;
    m_style = style;
    m_dirty = true;
    RenderPicture();
    m_rect.right = m_rect.left + m_size.width;
    m_rect.bottom = m_rect.top + m_size.height;
    m_center = MiddleOf(m_rect);
    UpdateHandles();
}

void CCounterObject::Save(CByteWriter& writer) const {
    writer.WriteTag(TAG_COUNTER);
    writer.WriteInt32(m_style);
    writer.WriteDouble(m_center.x);
    writer.WriteDouble(m_center.y);
    writer.WriteInt32(m_counterId);
    WriteRect(writer, m_rect);
    if (m_link) m_link->Save(writer);
}

void CCounterObject::Load(CByteReader& reader, const CStreamVersion& version) {
    const int32_t style = reader.ReadInt32Range(0, kStyleCount - 1, "counter style");
    const DPOINT center = ReadCenter(reader);
    const int32_t id = reader.ReadInt32();
    const CRect rect = ReadRect(reader);
    auto link = std::make_unique<CObjectLink>();
    link->Load(reader, version);

    m_style = style;
    m_center = center;
    m_counterId = id;
    m_rect = rect;
    m_link = std::move(link);
    m_dirty = true;
    RenderPicture();
    UpdateHandles();
}

std::unique_ptr<CPageObject> CCounterObject::SnapshotGeometry() const {
    // A snapshot is no new counter: it keeps this one's number and takes none.
    auto copy = std::unique_ptr<CCounterObject>(new CCounterObject(m_style, m_center, NoNumber{}));
    copy->m_counterId = m_counterId;
    return copy;
}

void CCounterObject::SwapGeometry(CPageObject& other) {
    auto* o = dynamic_cast<CCounterObject*>(&other);
    if (!o || o == this) return;
    const DPOINT center = m_center;
    const int32_t style = m_style;
    SetCounterStyle(o->m_style);
    SetCenter(o->m_center);
    o->SetCounterStyle(style);
    o->SetCenter(center);
}
