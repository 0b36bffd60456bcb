#include "model/ButtonText.h"
#include "services/RecordColour.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/Cp1252.h"
#include "services/CurrentSettings.h"
#include "services/Settings.h"

CButtonText::CButtonText() : CButtonText(CurrentSettings()) {}

// The settings keep text as UTF-8, the model as Windows-1252 bytes.
CButtonText::CButtonText(const CSettings& settings)
    : font(cp1252::FromUtf8(settings.GetButtonTextFont())),
      fontSize(settings.GetButtonTextFontSize()), bold(settings.GetButtonTextFontBold()),
      italic(settings.GetButtonTextFontItalic()), underline(settings.GetButtonTextFontUnderline()),
      color(settings.GetButtonTextFontColor()), alignment(settings.GetButtonTextAlignment()),
      shadow(settings.GetButtonTextUseShadow()),
      shadowDistance(settings.GetButtonTextShadowDistance()),
      shadowDirection(settings.GetButtonTextShadowDirection()),
      shadowColor(settings.GetButtonTextShadowColor()) {}

bool CButtonText::operator==(const CButtonText& other) const {
    return font == other.font && fontSize == other.fontSize && bold == other.bold &&
           italic == other.italic && underline == other.underline && SameRgb(color, other.color) &&
           text == other.text && alignment == other.alignment && shadow == other.shadow &&
           shadowDistance == other.shadowDistance && shadowDirection == other.shadowDirection &&
           SameRgb(shadowColor, other.shadowColor);
}

void CButtonText::Save(CByteWriter& writer) const {
    if (text.empty()) return;
    writer.WriteTag(TAG_BUTTON_TEXT);
    writer.WriteString(font);
    writer.WriteInt32(fontSize);
    writer.WriteBool(bold);
    writer.WriteBool(italic);
    writer.WriteBool(underline);
    writer.WriteColour(ToRgb(color));
    writer.WriteString(text);
    writer.WriteInt32(alignment);
    writer.WriteBool(shadow);
    writer.WriteInt32(shadowDistance);
    writer.WriteInt32(shadowDirection);
    writer.WriteColour(ToRgb(shadowColor));
}

void CButtonText::Load(CByteReader& reader, const CStreamVersion& version) {
    CButtonText loaded;
    if (version.Has(5) && reader.TryTag(TAG_BUTTON_TEXT)) {
        loaded.font = reader.ReadString();
        loaded.fontSize = reader.ReadInt32();
        loaded.bold = reader.ReadBool();
        loaded.italic = reader.ReadBool();
        loaded.underline = reader.ReadBool();
        loaded.color = FromRgb(reader.ReadColour());
        loaded.text = reader.ReadString();
        loaded.alignment = reader.ReadInt32();
        loaded.shadow = reader.ReadBool();
        loaded.shadowDistance = reader.ReadInt32();
        loaded.shadowDirection = reader.ReadInt32();
        loaded.shadowColor = FromRgb(reader.ReadColour());
    }
    *this = std::move(loaded);
}
