// Writing shapes and reading them back with ReadObject, for every stream
// version still read, and rejecting malformed streams.
#include "image/Image.h"
#include "model/AltText.h"
#include "model/ButtonText.h"
#include "model/EllipseObject.h"
#include "model/ObjectLink.h"
#include "model/ReadObject.h"
#include "model/RectObject.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/FileFormatException.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {

std::unique_ptr<CEllipseObject> RichEllipse() {
    auto e = std::make_unique<CEllipseObject>(DPOINT{123.5, 77.25}, CObjectSize{90, 45}, 0.75);
    e->SetOffsetX(-12);
    e->SetOffsetY(100);
    e->GetFill()->SetColour(CColor(9, 8, 7));
    CEffects& fx = *e->GetEffects();
    fx.shadowOn = true;
    fx.shadowDistance = 7;
    fx.shadowSize = 3;
    fx.shadowTransparency = 20;
    fx.shadowType = 2;
    fx.shadowAngle = 45;
    fx.shadowColour = CColor(40, 50, 60);
    fx.edgesOn = true;
    fx.edgesStyle = 1;
    fx.edgesSize = 4;
    fx.edgesAngle = 300;
    fx.edgesType = 3;
    fx.glowOn = true;
    fx.glowSize = 12;
    fx.glowTransparency = 70;
    fx.glowColour = CColor(1, 2, 3);
    CObjectLink& link = *e->GetLink();
    link.type = CObjectLink::typeDocument;
    link.enabled = true;
    link.page = 2;
    link.email = "salg@firma.dk";
    link.document = "C:\\docs\\pris.pdf";
    CButtonText label;
    label.text = "K\xF8"
                 "b nu";
    label.font = "Verdana";
    label.fontSize = 17;
    label.bold = true;
    label.underline = true;
    label.color = CColor(250, 240, 10);
    label.alignment = 2;
    label.shadow = true;
    label.shadowDistance = 3;
    label.shadowDirection = 200;
    label.shadowColor = CColor(20, 30, 40);
    e->SetButtonText(label);
    e->SetAltText("Vores logo");
    return e;
}

std::vector<uint8_t> Saved(const CPageObject& o) {
    CByteWriter w;
    o.Save(w);
    return w.Take();
}

std::unique_ptr<CPageObject> Read(const std::vector<uint8_t>& bytes, CStreamVersion version,
                                  bool expectEnd = true) {
    CByteReader reader(std::span<const uint8_t>(bytes), version);
    auto o = ReadObject(reader, version);
    if (expectEnd) {
        EXPECT_TRUE(reader.AtEnd());
    }
    return o;
}

// The stream an older version of the program wrote for the same object.
std::vector<uint8_t> OlderStream(const CShapeObject& o, CStreamVersion v) {
    CByteWriter w;
    w.WriteTag(StreamTagOfKind(o.GetKind()));
    w.WriteInt32(o.GetSize().width);
    w.WriteInt32(o.GetSize().height);
    w.WriteDouble(o.GetAngle());
    w.WriteDouble(o.GetCenter().x);
    w.WriteDouble(o.GetCenter().y);
    const CRect r = o.GetRect();
    for (int value : {r.left, r.top, r.right, r.bottom})
        w.WriteInt32(value);
    w.WriteInt32(o.GetOffsetX());
    w.WriteInt32(o.GetOffsetY());
    o.GetFill()->Save(w);
    const CEffects& fx = *o.GetEffects();
    if (v.Has(8)) {
        fx.Save(w);
    } else if (fx.AnyOn()) {
        // Every group, whether on or not.
        auto rgb = [&](const CColor& c) { w.WriteColour(CRgb::FromColorRef(c.GetCOLORREF())); };
        w.WriteTag(TAG_EFFECTS);
        w.WriteBool(fx.shadowOn);
        for (int32_t n : {fx.shadowDistance, fx.shadowSize, fx.shadowTransparency, fx.shadowType,
                          fx.shadowAngle})
            w.WriteInt32(n);
        rgb(fx.shadowColour);
        w.WriteBool(fx.edgesOn);
        for (int32_t n :
             {fx.edgesStyle, fx.edgesSize, fx.edgesTransparency, fx.edgesAngle, fx.edgesType})
            w.WriteInt32(n);
        w.WriteBool(fx.glowOn);
        for (int32_t n : {fx.glowSize, fx.glowTransparency, fx.glowType})
            w.WriteInt32(n);
        rgb(fx.glowColour);
    }
    const CObjectLink& link = *o.GetLink();
    if (v.Has(6)) {
        link.Save(w);
    } else if (link.enabled) { // no document string yet
        w.WriteTag(TAG_LINK);
        w.WriteInt32(link.type);
        w.WriteBool(link.enabled);
        w.WriteInt32(link.page);
        w.WriteString(link.email);
        w.WriteString(link.url);
    }
    o.GetButtonText()->Save(w);
    if (v.Has(6)) SaveAltText(w, *o.GetAltText());
    return w.Take();
}

void ExpectSameShape(const CShapeObject& a, const CShapeObject& b) {
    EXPECT_EQ(a.GetKind(), b.GetKind());
    EXPECT_EQ(a.GetSize(), b.GetSize());
    EXPECT_EQ(a.GetAngle(), b.GetAngle());
    EXPECT_EQ(a.GetCenter().x, b.GetCenter().x);
    EXPECT_EQ(a.GetCenter().y, b.GetCenter().y);
    EXPECT_EQ(a.GetRect(), b.GetRect());
    EXPECT_EQ(a.GetOffsetX(), b.GetOffsetX());
    EXPECT_EQ(a.GetOffsetY(), b.GetOffsetY());
    EXPECT_TRUE(*a.GetFill() == *b.GetFill());
    EXPECT_TRUE(*a.GetEffects() == *b.GetEffects());
    EXPECT_TRUE(*a.GetLink() == *b.GetLink());
    EXPECT_EQ(a.GetLink()->document, b.GetLink()->document);
    EXPECT_TRUE(*a.GetButtonText() == *b.GetButtonText());
    EXPECT_EQ(*a.GetAltText(), *b.GetAltText());
    for (int i = 0; i < CPageObject::handleCount; ++i) {
        EXPECT_DOUBLE_EQ(a.GetHandles()[i].x, b.GetHandles()[i].x);
        EXPECT_DOUBLE_EQ(a.GetHandles()[i].y, b.GetHandles()[i].y);
    }
    // Where the outline really lies, fast moves included.
    auto outlineArea = [](const CShapeObject& o) {
        CRect r = o.GetOutline().GetBoundingBox();
        r.Offset(o.GetPendingMove().x, o.GetPendingMove().y);
        return r;
    };
    EXPECT_EQ(outlineArea(a), outlineArea(b));
}

const CShapeObject& AsShape(const std::unique_ptr<CPageObject>& o) {
    auto* s = dynamic_cast<const CShapeObject*>(o.get());
    EXPECT_NE(s, nullptr);
    return *s;
}

void PatchInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(uint32_t(value) >> (8 * i));
}

size_t FindTag(const std::vector<uint8_t>& bytes, StreamTag tag) {
    uint8_t t[4];
    for (int i = 0; i < 4; ++i)
        t[i] = static_cast<uint8_t>(tag >> (8 * i));
    auto it = std::search(bytes.begin(), bytes.end(), t, t + 4);
    EXPECT_NE(it, bytes.end());
    return static_cast<size_t>(it - bytes.begin());
}

// Offsets of the fixed fields after the 4-byte tag.
constexpr size_t kWidthAt = 4, kHeightAt = 8, kCentreXAt = 20, kOffsetXAt = 52, kOffsetYAt = 56;
} // namespace

TEST(ShapePersistence, CurrentStreamsRoundTripEveryField) {
    auto e = RichEllipse();
    const std::vector<uint8_t> bytes = Saved(*e);
    EXPECT_GT(bytes.size(), 60u);
    auto back = Read(bytes, kCurrentStreamVersion);
    ASSERT_NE(back, nullptr);
    ExpectSameShape(*e, AsShape(back));
    EXPECT_TRUE(back->IsDirty());
    EXPECT_EQ(back->GetImage(), nullptr);
    EXPECT_EQ(Saved(*back), bytes);

    // A picture: a rectangle with a held picture of its own, never rotated.
    CRectObject r({40, 30}, {20, 12});
    auto picture = std::make_unique<CImage>(IMAGE_RGB8, 3, 2, 96.0);
    for (int y = 0; y < 2; ++y)
        std::memset(picture->Bits() + y * picture->RowBytes(), 90 + y, 9);
    r.GetFill()->SetHeldImage(std::move(picture));
    r.GetFill()->SetPicture(true);
    r.MoveBy(3, 4); // saved with the centre and rect it now has
    const std::vector<uint8_t> rectBytes = Saved(r);
    auto rectBack = Read(rectBytes, kCurrentStreamVersion);
    ExpectSameShape(r, AsShape(rectBack));
    EXPECT_FALSE(rectBack->CanRotate());
    EXPECT_EQ(Saved(*rectBack), rectBytes);

    // Defaults stay defaults: nothing optional is written.
    CEllipseObject plain({10, 10}, {4, 4});
    const std::vector<uint8_t> plainBytes = Saved(plain);
    EXPECT_EQ(plainBytes.size(), 60u + 4 + 4 + 3 + 1); // fixed fields, solid fill record
    ExpectSameShape(plain, AsShape(Read(plainBytes, kCurrentStreamVersion)));
}

TEST(ShapePersistence, OlderStreamsAreReadWithTheirGates) {
    auto e = RichEllipse();
    for (int version : {5, 6, 7, 8}) {
        SCOPED_TRACE(version);
        const CStreamVersion v{1, static_cast<uint8_t>(version)};
        const std::vector<uint8_t> bytes = OlderStream(*e, v);
        auto back = Read(bytes, v);
        ASSERT_NE(back, nullptr);
        // Version 5 knew neither alternative texts nor document links.
        std::unique_ptr<CPageObject> expected = e->Clone();
        auto& x = dynamic_cast<CShapeObject&>(*expected);
        if (version < 6) {
            x.GetLink()->document.clear();
            x.SetAltText("");
        }
        ExpectSameShape(x, AsShape(back));
        EXPECT_EQ(Saved(*back), Saved(x));
    }
    // The current writer's stream for version 8 is the stream above.
    EXPECT_EQ(OlderStream(*e, kCurrentStreamVersion), Saved(*e));
}

TEST(ShapePersistence, MalformedStreamsThrow) {
    auto e = RichEllipse();
    const std::vector<uint8_t> good = Saved(*e);
    auto expectThrow = [](std::vector<uint8_t> bytes, const char* what) {
        EXPECT_THROW(Read(bytes, kCurrentStreamVersion, false), CFileFormatException) << what;
    };

    auto bad = good;
    PatchInt32(bad, kWidthAt, -1);
    expectThrow(bad, "negative width");
    bad = good;
    PatchInt32(bad, kHeightAt, -5);
    expectThrow(bad, "negative height");
    bad = good;
    PatchInt32(bad, kWidthAt, 2000000000);
    expectThrow(bad, "absurd width");
    for (int32_t offset : {101, -101, 1 << 30}) {
        bad = good;
        PatchInt32(bad, kOffsetXAt, offset);
        expectThrow(bad, "offset x");
        bad = good;
        PatchInt32(bad, kOffsetYAt, offset);
        expectThrow(bad, "offset y");
    }
    for (double v : {std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), 1e300}) {
        bad = good;
        std::memcpy(bad.data() + kCentreXAt, &v, 8);
        expectThrow(bad, "centre");
    }
    bad = good;
    PatchInt32(bad, FindTag(bad, TAG_LINK) + 4, 4);
    expectThrow(bad, "link type");
    bad = good;
    PatchInt32(bad, FindTag(bad, TAG_ALT_TEXT) + 4, 2049);
    expectThrow(bad, "alt text length");
    bad = good;
    PatchInt32(bad, FindTag(bad, TAG_ALT_TEXT) + 4, -1);
    expectThrow(bad, "negative string length");
    bad = good;
    PatchInt32(bad, 60, 0x12345678);
    expectThrow(bad, "fill tag");

    bad = good;
    PatchInt32(bad, 0, 0x01020304);
    try {
        Read(bad, kCurrentStreamVersion, false);
        ADD_FAILURE() << "unknown tag accepted";
    } catch (const CFileFormatException& x) {
        EXPECT_EQ(x.Offset(), 0u);
    }
    bad = good;
    PatchInt32(bad, 0, static_cast<int32_t>(TAG_TEXT));
    // Texts are readable now; a rectangle's fields under the text tag do not
    // make a valid text.
    try {
        Read(bad, kCurrentStreamVersion, false);
        ADD_FAILURE() << "rectangle read as a text";
    } catch (const CFileFormatException& x) {
        EXPECT_EQ(std::string(x.what()).find("cannot be read yet"), std::string::npos);
    }

    // Every cut-off stream either throws or, when it stops between two
    // optional chunks, reads as an object without them.
    const size_t fillEnd = FindTag(good, TAG_EFFECTS);
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        if (n < fillEnd) {
            expectThrow(cut, "truncated before the optional chunks");
            continue;
        }
        try {
            Read(cut, kCurrentStreamVersion, false);
        } catch (const CFileFormatException&) {
        }
    }
}

TEST(ShapePersistence, FailedLoadLeavesTheObjectAsItWas) {
    auto source = RichEllipse();
    std::vector<uint8_t> bytes = Saved(*source);
    PatchInt32(bytes, FindTag(bytes, TAG_ALT_TEXT) + 4, 99999);

    CRectObject target({5, 6}, {7, 8}, 0.5);
    target.SetAltText("uændret");
    CPixMap work(WithAlpha(IMAGE_RGB8), 64, 64);
    ASSERT_TRUE(target.Render(work));
    CByteReader reader(std::span<const uint8_t>(bytes), kCurrentStreamVersion);
    reader.Skip(4);
    EXPECT_THROW(target.Load(reader, kCurrentStreamVersion), CFileFormatException);
    EXPECT_EQ(target.GetSize(), (CObjectSize{7, 8}));
    EXPECT_EQ(target.GetAngle(), 0.5);
    EXPECT_EQ(target.GetCenter().x, 5);
    EXPECT_EQ(target.GetOffsetY(), 0);
    EXPECT_EQ(*target.GetAltText(), "uændret");
    EXPECT_FALSE(target.GetLink()->enabled);
    EXPECT_FALSE(target.IsDirty());
    EXPECT_NE(target.GetImage(), nullptr);
}
