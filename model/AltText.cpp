#include "model/AltText.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"

void SaveAltText(CByteWriter& writer, const std::string& altText) {
    if (altText.empty()) return;
    writer.WriteTag(TAG_ALT_TEXT);
    writer.WriteString(altText);
}

void LoadAltText(CByteReader& reader, const CStreamVersion& version, std::string& altText) {
    if (!version.Has(6) || !reader.TryTag(TAG_ALT_TEXT)) {
        altText.clear();
        return;
    }
    altText = reader.ReadString();
}
