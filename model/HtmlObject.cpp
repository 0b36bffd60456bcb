#include "model/HtmlObject.h"
#include "image/Image.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <algorithm>
#include <limits>

namespace {
// Larger boxes than any page can hold come only from damaged streams.
constexpr int32_t kMaxSide = 100000;
// A damaged count must not reserve memory: each file name takes at least its
// four length bytes.
constexpr std::size_t kNameBytes = 4;
} // namespace

CHtmlObject::CHtmlObject(DPOINT topLeft, int32_t width, int32_t height) {
    m_size = {std::max(width, kMinSide), std::max(height, kMinSide)};
    const auto x = static_cast<int32_t>(topLeft.x), y = static_cast<int32_t>(topLeft.y);
    m_rect = {x, y, x + m_size.width, y + m_size.height};
    m_center = MiddleOf(m_rect);
    UpdateHandles();
}

CHtmlObject::CHtmlObject(double cx, double cy, int32_t width, int32_t height) {
    m_size = {std::max(width, 1), std::max(height, 1)};
    m_rect = RectAroundStoredCenter({cx, cy}, m_size.width, m_size.height);
    m_center = MiddleOf(m_rect);
    UpdateHandles();
}

bool CHtmlObject::Render(CPixMap&) {
    return true;
}

void CHtmlObject::SetSize(int32_t width, int32_t height) {
    if (width == m_size.width && height == m_size.height) return;
    if (width <= 0 || height <= 0) return;
    m_size = {width, height};
    m_dirty = true;
    m_rect = RectAroundStoredCenter(m_center, width, height);
    UpdateHandles();
}

bool CHtmlObject::PrepareAndRender(CPixMap&) {
    if (!m_dirty) return true;
    auto picture = object_pictures::HtmlPlaceholder(m_size.width, m_size.height);
    if (!picture || !picture->Bits()) return false;
    m_image = std::move(picture);
    m_dirty = false;
    return true;
}

void CHtmlObject::UpdateHandles() {
    SetBoxHandles(m_center, m_size.width, m_size.height, 0.0);
}

int32_t CHtmlObject::EstimateBytes(double) const {
    const std::size_t bytes = m_headerCode.size() + m_bodyCode.size();
    return static_cast<int32_t>(std::min<std::size_t>(bytes, std::numeric_limits<int32_t>::max()));
}

void CHtmlObject::SetCode(std::string onload, std::string header, std::string body) {
    m_onloadCode = std::move(onload);
    m_headerCode = std::move(header);
    m_bodyCode = std::move(body);
}

void CHtmlObject::Save(CByteWriter& writer) const {
    writer.WriteTag(TAG_HTML);
    writer.WriteDouble(m_center.x);
    writer.WriteDouble(m_center.y);
    writer.WriteInt32(m_size.width);
    writer.WriteInt32(m_size.height);
    WriteRect(writer, m_rect);
    writer.WriteString(m_name);
    writer.WriteLongString(m_onloadCode);
    writer.WriteLongString(m_headerCode);
    writer.WriteLongString(m_bodyCode);
    writer.WriteInt32(static_cast<int32_t>(m_usedFiles.size()));
    for (const std::string& file : m_usedFiles)
        writer.WriteString(file);
}

void CHtmlObject::Load(CByteReader& reader, const CStreamVersion& version) {
    const DPOINT center = ReadCenter(reader);
    const int32_t w = reader.ReadInt32Range(0, kMaxSide, "HTML box width");
    const int32_t h = reader.ReadInt32Range(0, kMaxSide, "HTML box height");
    const CRect rect = ReadRect(reader);
    std::string name = reader.ReadString();
    std::string onload, header, body;
    std::vector<std::string> files;
    // Streams before the three-code layout (and those of exactly version 6)
    // hold one code string, the body.
    if (version.Has(7)) {
        onload = reader.ReadLongString();
        header = reader.ReadLongString();
        body = reader.ReadLongString();
        const std::size_t at = reader.Tell();
        const int32_t count = reader.ReadInt32();
        if (count < 0 || static_cast<std::size_t>(count) > reader.Remaining() / kNameBytes)
            reader.FailAt("used file count " + std::to_string(count) + " does not fit the data",
                          at);
        files.reserve(static_cast<std::size_t>(count));
        for (int32_t i = 0; i < count; ++i)
            files.push_back(reader.ReadString());
    } else {
        body = reader.ReadLongString();
    }

    m_center = center;
    m_size = {w, h};
    m_rect = rect;
    m_name = std::move(name);
    m_onloadCode = std::move(onload);
    m_headerCode = std::move(header);
    m_bodyCode = std::move(body);
    m_usedFiles = std::move(files);
    m_dirty = true;
    m_image.reset();
    UpdateHandles();
}

std::unique_ptr<CPageObject> CHtmlObject::SnapshotGeometry() const {
    auto copy = std::make_unique<CHtmlObject>(m_center.x, m_center.y, m_size.width, m_size.height);
    // The constructor centres the box on whole pixels; an undo step must give
    // back the centre exactly as it was.
    copy->m_center = m_center;
    copy->m_rect = m_rect;
    copy->UpdateHandles();
    return copy;
}

std::unique_ptr<CPageObject> CHtmlObject::Clone() const {
    auto copy = std::make_unique<CHtmlObject>(m_center.x, m_center.y, m_size.width, m_size.height);
    copy->m_name = m_name;
    copy->m_onloadCode = m_onloadCode;
    copy->m_headerCode = m_headerCode;
    copy->m_bodyCode = m_bodyCode;
    copy->m_usedFiles = m_usedFiles;
    copy->SetOffsetX(m_mouseOverOffset.x);
    copy->SetOffsetY(m_mouseOverOffset.y);
    return copy;
}

void CHtmlObject::SwapGeometry(CPageObject& other) {
    auto* o = dynamic_cast<CHtmlObject*>(&other);
    if (!o || o == this) return;
    // Only the box changes hands; the code stays with the object on the page.
    if (m_size != o->m_size) {
        m_dirty = true;
        o->m_dirty = true;
    }
    std::swap(m_center, o->m_center);
    std::swap(m_size, o->m_size);
    std::swap(m_rect, o->m_rect);
    UpdateHandles();
    o->UpdateHandles();
}
