#include "model/CharStyle.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/Cp1252.h"
#include "services/FontEngine.h"
#include <algorithm>

bool CCharStyle::operator==(const CCharStyle& other) const {
    return fontIndex == other.fontIndex && fontSize == other.fontSize && bold == other.bold &&
           italic == other.italic && underline == other.underline && color == other.color &&
           link == other.link;
}

std::string CCharStyle::FaceName() const {
    return cp1252::FromUtf8(CFontEngine::Instance().FaceName(fontIndex));
}

void CCharStyle::SetFaceName(const std::string& cp1252Name) {
    const int index = CFontEngine::Instance().FaceIndexWithFallback(cp1252::ToUtf8(cp1252Name));
    fontIndex = static_cast<uint16_t>(std::clamp(index, 0, 65535));
}

CFontRequest CCharStyle::FontRequest() const {
    CFontRequest spec;
    spec.face = CFontEngine::Instance().FaceName(fontIndex);
    spec.pixelHeight = std::clamp(PointsToPixels(fontSize), 1, CFontEngine::kMaxPixelHeight);
    spec.bold = bold;
    spec.italic = italic;
    spec.underline = underline;
    return spec;
}

void CCharStyle::Save(CByteWriter& writer) const {
    writer.WriteString(FaceName());
    writer.WriteUInt16(fontSize);
    writer.WriteBool(bold);
    writer.WriteBool(italic);
    writer.WriteBool(underline);
    writer.WriteInt32(color);
    link.Save(writer);
}

void CCharStyle::Load(CByteReader& reader, const CStreamVersion& version) {
    CCharStyle style;
    style.SetFaceName(reader.ReadString());
    style.fontSize = reader.ReadUInt16();
    style.bold = reader.ReadBool();
    style.italic = reader.ReadBool();
    style.underline = reader.ReadBool();
    style.color = reader.ReadInt32() & 0x00FFFFFF;
    style.link.Load(reader, version);
    *this = std::move(style);
}

int32_t PointsToPixels(int32_t points) {
    const int64_t product = int64_t{points} * 96;
    const int64_t rounded = product >= 0 ? (product + 36) / 72 : -((-product + 36) / 72);
    return static_cast<int32_t>(rounded);
}

CCharStyle DefaultCharStyle() {
    CCharStyle style;
    style.SetFaceName("Arial");
    return style;
}
