#include "model/ReadObject.h"
#include "model/EllipseObject.h"
#include "model/RectObject.h"
#include "services/ByteReader.h"
#include <iterator>

namespace {
using Factory = std::unique_ptr<CPageObject> (*)();

struct CKindEntry {
    StreamTag tag;
    const char* name;
    // Makes the object with placeholder geometry for Load to overwrite; null
    // for a kind this program cannot read yet.
    Factory make;
};

template <class T> std::unique_ptr<CPageObject> MakeShape() {
    return std::make_unique<T>(DPOINT{0, 0}, CObjectSize{2, 2}, 0.0);
}

constexpr CKindEntry kKinds[] = {
    {TAG_ELLIPSE, "ellipse", &MakeShape<CEllipseObject>},
    {TAG_RECT, "rectangle", &MakeShape<CRectObject>},
    {TAG_TEXT, "text", nullptr},
    {TAG_COUNTER, "counter", nullptr},
    {TAG_HTML, "HTML", nullptr},
    {TAG_FORM, "form", nullptr},
};
} // namespace

std::unique_ptr<CPageObject> ReadObject(CByteReader& reader, const CStreamVersion& version) {
    const std::size_t at = reader.Tell();
    const StreamTag tag = reader.ReadTag();
    for (const CKindEntry& kind : kKinds) {
        if (kind.tag != tag) continue;
        if (!kind.make)
            reader.FailAt(std::string("objects of kind ") + kind.name + " cannot be read yet", at);
        std::unique_ptr<CPageObject> object = kind.make();
        object->Load(reader, version);
        return object;
    }
    reader.FailAt("unknown object tag " + TagToString(tag), at);
}
