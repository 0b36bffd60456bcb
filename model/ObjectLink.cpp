#include "model/ObjectLink.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"

bool CObjectLink::operator==(const CObjectLink& other) const {
    if (!enabled && !other.enabled) return true;
    if (type != other.type || enabled != other.enabled) return false;
    switch (type) {
    case typePage:
        return page == other.page;
    case typeEmail:
        return email == other.email;
    case typeUrl:
        return url == other.url;
    case typeDocument:
        return document == other.document;
    default:
        return true;
    }
}

bool CObjectLink::OnPageRemoved(int32_t index) {
    if (!enabled || type != typePage) return false;
    if (page > index) {
        --page;
        return false;
    }
    if (page == index) {
        enabled = false;
        page = 0;
        return true;
    }
    return false;
}

void CObjectLink::OnPageCountChanged(int32_t count) {
    // With no pages left the index still may not go below the first page.
    if (page > count - 1) page = count > 0 ? count - 1 : 0;
}

void CObjectLink::OnPagesReset() {
    page = 0;
    if (type == typePage) enabled = false;
}

void CObjectLink::Save(CByteWriter& writer) const {
    if (!enabled) return;
    writer.WriteTag(TAG_LINK);
    writer.WriteInt32(type);
    writer.WriteBool(enabled);
    writer.WriteInt32(page);
    writer.WriteString(email);
    writer.WriteString(url);
    writer.WriteString(document);
}

void CObjectLink::Load(CByteReader& reader, const CStreamVersion& version) {
    if (!reader.TryTag(TAG_LINK)) {
        *this = CObjectLink{};
        return;
    }
    CObjectLink loaded;
    const std::size_t typeOffset = reader.Tell();
    loaded.type = reader.ReadInt32();
    loaded.enabled = reader.ReadBool();
    loaded.page = reader.ReadInt32();
    loaded.email = reader.ReadString();
    loaded.url = reader.ReadString();
    // The document string was added by the first writer at version 6; streams
    // of later sources never carried it, so only that one gate applies.
    if (version.source == 1 && version.version >= 6) loaded.document = reader.ReadString();
    if (loaded.type < typePage || loaded.type > typeDocument)
        reader.FailAt("link type " + std::to_string(loaded.type) + " outside 0..3", typeOffset);
    *this = std::move(loaded);
}
