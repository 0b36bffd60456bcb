#include "model/ReadObject.h"
#include "model/CounterObject.h"
#include "model/EllipseObject.h"
#include "model/FormObject.h"
#include "model/HtmlObject.h"
#include "model/RectObject.h"
#include "model/TextObject.h"
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

std::unique_ptr<CPageObject> MakeCounter() { return CCounterObject::MakeForLoad(); }
// Top-left (0, 0), 10 x 10.
std::unique_ptr<CPageObject> MakeHtml() { return std::make_unique<CHtmlObject>(5.0, 5.0, 10, 10); }
std::unique_ptr<CPageObject> MakeForm() {
    return std::make_unique<CFormObject>(std::string(), 0.0, 0.0);
}

constexpr CKindEntry kKinds[] = {
    {TAG_ELLIPSE, "ellipse", &MakeShape<CEllipseObject>},
    {TAG_RECT, "rectangle", &MakeShape<CRectObject>},
    {TAG_TEXT, "text", &MakeShape<CTextObject>},
    {TAG_COUNTER, "counter", &MakeCounter},
    {TAG_HTML, "HTML", &MakeHtml},
    {TAG_FORM, "form", &MakeForm},
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
