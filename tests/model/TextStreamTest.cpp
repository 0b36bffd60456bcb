// Writing texts and reading them back, and rejecting malformed text streams.
#include "model/ReadObject.h"
#include "model/TextObject.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/FileFormatException.h"
#include "services/FontEngine.h"
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

CCharStyle Style(const char* face, uint16_t size, int32_t colour, bool bold = false) {
    CCharStyle s;
    s.SetFaceName(face);
    s.fontSize = size;
    s.color = colour;
    s.bold = bold;
    return s;
}

std::vector<uint8_t> Bytes(const CPageObject& object) {
    CByteWriter writer;
    object.Save(writer);
    return writer.Take();
}

std::unique_ptr<CTextObject> Read(const std::vector<uint8_t>& bytes,
                                  CStreamVersion version = kCurrentStreamVersion,
                                  bool whole = true) {
    CByteReader reader(std::span<const uint8_t>(bytes.data(), bytes.size()), version);
    std::unique_ptr<CPageObject> object = ReadObject(reader, version);
    // Older versions read the version-8 fill record shorter.
    if (whole) {
        EXPECT_TRUE(reader.AtEnd());
    }
    auto* text = dynamic_cast<CTextObject*>(object.get());
    EXPECT_NE(text, nullptr);
    object.release();
    return std::unique_ptr<CTextObject>(text);
}

int32_t ReadInt32At(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                static_cast<uint32_t>(b[at + 3]) << 24);
}

void PatchInt32(std::vector<uint8_t>& b, std::size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

// Offsets of the fixed part of a version-8 text without alternative text.
constexpr std::size_t kAlignmentAt = 4 + 8 + 8 + 16 + 16;
constexpr std::size_t kStyleCountAt = kAlignmentAt + 12 + 1 + 16 + 8;

// "ab" in one style, "c" in another, on two paragraphs.
std::unique_ptr<CTextObject> TwoParagraphs(const CCharStyle& first, const CCharStyle& second) {
    auto text = std::make_unique<CTextObject>(DPOINT{100, 50}, CObjectSize{120, 40});
    CTextLayout& layout = text->Layout();
    layout.Append('a', first);
    layout.Append('b', first);
    layout.AppendParagraph();
    layout.Append('c', second);
    text->LayoutText();
    return text;
}

std::string ParagraphText(const CTextObject& t, int p) {
    return t.Layout().Paragraph(p).text;
}

} // namespace

TEST(TextStream, RoundTripKeepsCharactersParagraphsRunsAndLinks) {
    CCharStyle plain = Style("Arial", 12, 0x000000);
    CCharStyle linked = Style("Times New Roman", 20, 0x0000FF, true);
    linked.italic = true;
    linked.underline = true;
    linked.link.enabled = true;
    linked.link.type = CObjectLink::typePage;
    linked.link.page = 3;
    auto text = std::make_unique<CTextObject>(DPOINT{200.5, 80}, CObjectSize{150, 60});
    CTextLayout& layout = text->Layout();
    const std::string words[] = {"Velkommen til ", "vores", " side\xE6\xF8\xE5"};
    for (int w = 0; w < 3; ++w)
        for (char c : words[w])
            layout.Append(static_cast<uint8_t>(c), w == 1 ? linked : plain);
    layout.AppendParagraph();
    layout.AppendParagraph();
    for (char c : std::string("Slut"))
        layout.Append(static_cast<uint8_t>(c), linked);
    layout.alignment = CTextLayout::alignRight;
    text->SetAltText("Forside");
    text->GetLink()->enabled = true;
    text->GetLink()->url = "http://example.invalid/";
    text->SetAdvanced(true);
    text->GetEffects()->shadowOn = true;
    text->LayoutText();

    const std::vector<uint8_t> bytes = Bytes(*text);
    auto back = Read(bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->Layout().ParagraphCount(), 3);
    EXPECT_EQ(ParagraphText(*back, 0), words[0] + words[1] + words[2]);
    EXPECT_EQ(ParagraphText(*back, 1), "");
    EXPECT_EQ(ParagraphText(*back, 2), "Slut");
    for (int p = 0; p < 3; ++p)
        for (int i = 0; i < static_cast<int>(ParagraphText(*back, p).size()); ++i)
            EXPECT_TRUE(back->Layout().StyleAt(p, i) == text->Layout().StyleAt(p, i))
                << p << "," << i;
    EXPECT_EQ(back->Layout().StyleAt(0, 14).link.page, 3);
    EXPECT_EQ(back->Layout().alignment, CTextLayout::alignRight);
    EXPECT_TRUE(back->Advanced());
    EXPECT_EQ(*back->GetAltText(), "Forside");
    EXPECT_TRUE(*back->GetLink() == *text->GetLink());
    EXPECT_TRUE(back->GetEffects()->shadowOn);
    EXPECT_EQ(back->GetSize(), text->GetSize());
    EXPECT_DOUBLE_EQ(back->GetCenter().x, 200.5);
    EXPECT_FALSE(back->IsNew());
    // Written again, the stream is the same.
    EXPECT_EQ(Bytes(*back), bytes);
}

TEST(TextStream, StyleTableAndRunsFollowTheText) {
    const CCharStyle a = Style("Arial", 12, 0x111111);
    const CCharStyle b = Style("Arial", 14, 0x222222);
    auto text = TwoParagraphs(a, b);
    std::vector<uint8_t> bytes = Bytes(*text);
    // Two styles in the order they first occur, two runs, four bytes: a b 13 c.
    ASSERT_EQ(ReadInt32At(bytes, kStyleCountAt), 2);
    CByteReader reader(std::span<const uint8_t>(bytes.data(), bytes.size()));
    reader.Seek(kStyleCountAt + 4);
    CCharStyle s;
    s.Load(reader, kCurrentStreamVersion);
    EXPECT_EQ(s.fontSize, 12);
    s.Load(reader, kCurrentStreamVersion);
    EXPECT_EQ(s.fontSize, 14);
    EXPECT_EQ(reader.ReadInt32(), 2);
    EXPECT_EQ(reader.ReadInt32(), 0);
    EXPECT_EQ(reader.ReadInt32(), 0);
    EXPECT_EQ(reader.ReadInt32(), 1);
    EXPECT_EQ(reader.ReadInt32(), 2); // 'c' is the third character
    EXPECT_EQ(reader.ReadInt32(), 4);
    EXPECT_EQ(reader.ReadByte(), 'a');
    EXPECT_EQ(reader.ReadByte(), 'b');
    EXPECT_EQ(reader.ReadByte(), 13);
    EXPECT_EQ(reader.ReadByte(), 'c');

    // A style that comes back after another is not written twice.
    auto abc = std::make_unique<CTextObject>(DPOINT{0, 0}, CObjectSize{50, 20});
    for (char c : std::string("xyz"))
        abc->Layout().Append(static_cast<uint8_t>(c), c == 'y' ? b : a);
    bytes = Bytes(*abc);
    EXPECT_EQ(ReadInt32At(bytes, kStyleCountAt), 2);
    auto back = Read(bytes);
    EXPECT_EQ(back->Layout().StyleAt(0, 2).fontSize, 12);
    EXPECT_EQ(back->Layout().StyleAt(0, 1).fontSize, 14);

    // An empty text still writes one style and one run and reads back empty.
    CTextObject empty(DPOINT{10, 10}, CObjectSize{5, 5});
    back = Read(Bytes(empty));
    EXPECT_EQ(back->Layout().CharacterCount(), 0);
    EXPECT_EQ(back->Layout().ParagraphCount(), 1);
}

TEST(TextStream, MissingFacesFallBack) {
    CFontEngine& engine = CFontEngine::Instance();
    const int arial = engine.FindFace("Arial");
    ASSERT_GE(arial, 0);
    auto text = TwoParagraphs(Style("Arial", 12, 0), Style("Arial", 12, 0));
    std::vector<uint8_t> bytes = Bytes(*text);
    // Rename the stored face "Arial" to a face nobody has.
    const std::size_t face = kStyleCountAt + 4;
    ASSERT_EQ(ReadInt32At(bytes, face), 5);
    std::copy_n("Zzyxq", 5, bytes.begin() + face + 4);
    auto back = Read(bytes);
    EXPECT_EQ(back->Layout().StyleAt(0, 0).fontIndex, arial);
    EXPECT_EQ(back->Layout().StyleAt(0, 0).FaceName(), "Arial");
}

TEST(TextStream, MalformedStreamsAreRejected) {
    auto text = TwoParagraphs(Style("Arial", 12, 0), Style("Arial", 16, 0xFF));
    const std::vector<uint8_t> good = Bytes(*text);
    auto expectThrow = [](const std::vector<uint8_t>& bytes, const char* what) {
        CByteReader reader(std::span<const uint8_t>(bytes.data(), bytes.size()));
        EXPECT_THROW(ReadObject(reader, kCurrentStreamVersion), CFileFormatException) << what;
    };
    std::vector<uint8_t> bad = good;
    PatchInt32(bad, kStyleCountAt, 0);
    expectThrow(bad, "no styles");
    bad = good;
    PatchInt32(bad, kStyleCountAt, 0x7FFFFFFF);
    expectThrow(bad, "more styles than bytes");
    const std::size_t runsAt = kStyleCountAt + 4 + 2 * (4 + 5 + 2 + 3 + 4);
    ASSERT_EQ(ReadInt32At(good, runsAt), 2);
    bad = good;
    PatchInt32(bad, runsAt, 0);
    expectThrow(bad, "no runs");
    bad = good;
    PatchInt32(bad, runsAt, 100000000);
    expectThrow(bad, "more runs than bytes");
    bad = good;
    PatchInt32(bad, runsAt + 4, 2);
    expectThrow(bad, "run style past the table");
    bad = good;
    PatchInt32(bad, runsAt + 8, 1);
    expectThrow(bad, "first run after the start");
    bad = good;
    PatchInt32(bad, runsAt + 4 + 16, 1000);
    expectThrow(bad, "more characters than bytes");
    bad = good;
    PatchInt32(bad, 4, -1);
    expectThrow(bad, "negative width");
    bad = good;
    PatchInt32(bad, kAlignmentAt, 7);
    expectThrow(bad, "alignment");
    // Any single damaged byte either reads or fails cleanly.
    for (std::size_t i = 4; i < good.size(); ++i) {
        bad = good;
        bad[i] ^= 0xFF;
        CByteReader reader(std::span<const uint8_t>(bad.data(), bad.size()));
        try {
            std::unique_ptr<CPageObject> object = ReadObject(reader, kCurrentStreamVersion);
            EXPECT_GE(static_cast<CTextObject&>(*object).Layout().ParagraphCount(), 1);
        } catch (const CFileFormatException&) {
        }
    }
    // Every cut-off stream fails cleanly.
    for (std::size_t n = 4; n < good.size(); n += 3) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        CByteReader reader(std::span<const uint8_t>(cut.data(), cut.size()));
        try {
            ReadObject(reader, kCurrentStreamVersion);
            // Only a cut between the effects record and the optional link
            // chunk may read.
            EXPECT_GE(n, good.size() - 4) << n;
        } catch (const CFileFormatException&) {
        }
    }
}

TEST(TextStream, OlderVersionsDecideTheAdvancedFlag) {
    // Version 3 had no flag: a turned text becomes advanced, an upright plain
    // one stays HTML text.
    auto write = [](double angle) {
        auto t = TwoParagraphs(Style("Arial", 12, 0), Style("Arial", 12, 0));
        t->SetAngle(angle);
        std::vector<uint8_t> b = Bytes(*t);
        // Drop the advanced byte: version 3 streams do not have it.
        b.erase(b.begin() + kAlignmentAt + 12);
        return b;
    };
    const CStreamVersion v3{1, 3};
    auto turned = Read(write(30 * std::numbers::pi / 180), v3, false);
    EXPECT_TRUE(turned->Advanced());
    EXPECT_TRUE(turned->RendersAsImage());
    auto upright = Read(write(0.0), v3, false);
    EXPECT_FALSE(upright->Advanced());
    // Version 2 lacks the flag as well and is judged the same way.
    EXPECT_TRUE(Read(write(1.0), CStreamVersion{1, 2}, false)->Advanced());

    // Version 1 stored the flag: a stored false stays false.
    auto t = TwoParagraphs(Style("Arial", 12, 0), Style("Arial", 12, 0));
    t->SetAngle(1.0);
    std::vector<uint8_t> v1 = Bytes(*t);
    EXPECT_FALSE(Read(v1, CStreamVersion{1, 1}, false)->Advanced());
}
