#include "model/FormObject.h"
#include "image/Image.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"

CFormObject::CFormObject(std::string receiver, DPOINT point) : m_receiver(std::move(receiver)) {
    RenderPicture();
    m_rect = RectAroundPoint(point, m_size.width, m_size.height);
    m_center = MiddleOf(m_rect);
    UpdateHandles();
}

CFormObject::CFormObject(std::string receiver, double cx, double cy)
    : m_receiver(std::move(receiver)) {
    RenderPicture();
    m_center = {cx, cy};
    m_rect = RectAroundStoredCenter(m_center, m_size.width, m_size.height);
    UpdateHandles();
}

bool CFormObject::Render(CPixMap&) {
    return true;
}

bool CFormObject::RenderPicture() {
    return TakePicture(object_pictures::Form());
}

bool CFormObject::PrepareAndRender(CPixMap&) {
    if (!m_dirty) return true;
    return RenderPicture();
}

void CFormObject::UpdateHandles() {
    SetHandlesFromRect();
}

namespace {
// The receiver goes into a quoted attribute; characters that would end the
// attribute or start markup are written as entities, so an odd address can
// neither break the page nor inject anything into it.
std::string AttributeText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}
} // namespace

std::string CFormObject::GetFormHtml() const {
    // "\xF8" is the Windows-1252 o-slash of the Danish texts.
    std::string html;
    html += "<form method='POST' name='formular' onsubmit='WriteSenderWindow();' action='";
    html += kFormMailAction;
    html += "'>\n";
    html += "  <input type='hidden' name='receiver' value='" + AttributeText(m_receiver) + "'>\n";
    html += "  <input type='hidden' name='subject' value='Foresp\xF8rgsel fra bruger p\xE5 "
            "hjemmesiden'>\n";
    html += "  <input type='hidden' name='senderwindow' value=''>\n";
    html += "  <p><font face='Arial' size='2'>Navn:</font><br>\n";
    html += "  &nbsp;&nbsp; <input type='text' name='name' size='27'><br><br>\n";
    html += "  <font face='Arial' size='2'>E-mail adresse:</font><br>\n";
    html += "  &nbsp;&nbsp; <input type='text' name='email' size='27'><br><br>\n";
    html += "  <font face='Arial' size='2'>Post adresse:</font><br>\n";
    html += "  &nbsp;&nbsp; <textarea rows='3' name='address' cols='30' style='font-family: "
            "Arial; font-size: 10pt;'></textarea><br><br>\n";
    html += "  <font face='Arial' size='2'>Foresp\xF8rgsel:</font><br>\n";
    html += "  &nbsp;&nbsp; <textarea rows='3' name='request' cols='30' style='font-family: "
            "Arial; font-size: 10pt;'></textarea><br><br>\n";
    html += "  &nbsp;&nbsp;&nbsp; <input type='reset' value='  Nulstil  ' "
            "name='B1'>&nbsp;&nbsp;&nbsp;\n";
    html += "  <input type='submit' value='  Afsend  ' name='B2'></p>\n";
    html += "</form>\n";
    return html;
}

void CFormObject::Save(CByteWriter& writer) const {
    writer.WriteTag(TAG_FORM);
    writer.WriteString(m_receiver);
    writer.WriteDouble(m_center.x);
    writer.WriteDouble(m_center.y);
    WriteRect(writer, m_rect);
}

void CFormObject::Load(CByteReader& reader, const CStreamVersion&) {
    std::string receiver = reader.ReadString();
    const DPOINT center = ReadCenter(reader);
    const CRect rect = ReadRect(reader);
    m_receiver = std::move(receiver);
    m_center = center;
    m_rect = rect;
    m_dirty = true;
    RenderPicture();
    UpdateHandles();
}

std::unique_ptr<CPageObject> CFormObject::SnapshotGeometry() const {
    return std::make_unique<CFormObject>(m_receiver, m_center.x, m_center.y);
}

void CFormObject::SwapGeometry(CPageObject& other) {
    auto* o = dynamic_cast<CFormObject*>(&other);
    if (!o || o == this) return;
    const DPOINT center = m_center;
    SetCenter(o->m_center);
    o->SetCenter(center);
    std::swap(m_receiver, o->m_receiver);
}
