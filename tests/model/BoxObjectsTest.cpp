#include "image/Image.h"
#include "model/CounterObject.h"
#include "model/FormObject.h"
#include "model/HtmlObject.h"
#include "model/ObjectLink.h"
#include "model/ReadObject.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/CurrentSettings.h"
#include "services/DataFolders.h"
#include "services/FileFormatException.h"
#include "services/Settings.h"
#include "tests/model/RecordBytes.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {
constexpr CStreamVersion v6{1, 6}, v8{1, 8};

// The shipped bitmap read byte by byte: width, height and the pixel at (x, y)
// as red, green, blue (24-bit rows are stored bottom-up as blue, green, red).
struct CBmp {
    std::vector<uint8_t> bytes;
    explicit CBmp(const std::string& name) {
        std::ifstream in(CDataFolders::DataFolder() / "objects" / name, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    int32_t Int(std::size_t at) const {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24;
    }
    int Width() const { return Int(18); }
    int Height() const { return Int(22); }
    const uint8_t* Pixel(int x, int y) const {
        const int row = (Width() * 3 + 3) / 4 * 4;
        return bytes.data() + Int(10) + (Height() - 1 - y) * row + x * 3;
    }
};

const uint8_t* ArgbAt(const CImage& image, int x, int y) {
    return image.Bits() + y * image.RowBytes() + x * 4;
}

template <class T> std::vector<uint8_t> Saved(const T& object) {
    CByteWriter writer;
    object.Save(writer);
    return writer.Take();
}
} // namespace

TEST(CounterObject, StylePicturesSizesAndNumbers) {
    CSettings settings;
    settings.SetCounterId(41);
    SetCurrentSettings(settings);
    CCounterObject first(2, DPOINT{100, 50});
    CCounterObject second(0, DPOINT{300, 50});
    EXPECT_EQ(first.GetCounterId(), 41);
    EXPECT_EQ(second.GetCounterId(), 42);
    EXPECT_EQ(CurrentSettings().GetCounterId(), 43);

    // Style 2 takes its bitmap's size and pixels, fully opaque.
    const CBmp bmp2("counter-style-2.bmp");
    ASSERT_GT(bmp2.Width(), 0);
    EXPECT_EQ(first.GetSize(), (CObjectSize{bmp2.Width(), bmp2.Height()}));
    EXPECT_FALSE(first.IsDirty());
    ASSERT_NE(first.GetImage(), nullptr);
    for (auto [x, y] : {std::pair{0, 0}, {5, 7}, {bmp2.Width() - 1, bmp2.Height() - 1}}) {
        const uint8_t* p = ArgbAt(*first.GetImage(), x, y);
        const uint8_t* b = bmp2.Pixel(x, y);
        EXPECT_EQ(p[0], 255);
        EXPECT_EQ(p[1], b[2]);
        EXPECT_EQ(p[2], b[1]);
        EXPECT_EQ(p[3], b[0]);
    }
    const CRect rect = first.GetRect();
    EXPECT_EQ(rect.Width(), bmp2.Width());
    EXPECT_EQ(rect.left, CBoxObject::RoundHalfUp(100 - bmp2.Width() / 2.0));

    // Style 3 keeps the corner and grows or shrinks to its own picture.
    first.SetCounterStyle(3);
    const CBmp bmp3("counter-style-3.bmp");
    EXPECT_EQ(first.GetRect(),
              (CRect{rect.left, rect.top, rect.left + bmp3.Width(), rect.top + bmp3.Height()}));
    EXPECT_DOUBLE_EQ(first.GetCenter().x, rect.left + bmp3.Width() / 2.0);
    EXPECT_EQ(first.GetHandles()[7].x, rect.left + bmp3.Width() - 1);

    // Stream: layout, round trip with the link, rejected styles. Loading
    // takes no new number.
    CObjectLink link;
    link.enabled = true;
    link.type = CObjectLink::typeUrl;
    link.url = "http://example.org";
    first.SetLink(std::make_unique<CObjectLink>(link));
    const std::vector<uint8_t> bytes = Saved(first);
    CRecordBytes head;
    head.I32(static_cast<int32_t>(TAG_COUNTER))
        .I32(3)
        .F64(first.GetCenter().x)
        .F64(first.GetCenter().y)
        .I32(41);
    ASSERT_GE(bytes.size(), head.bytes.size());
    EXPECT_TRUE(std::equal(head.bytes.begin(), head.bytes.end(), bytes.begin()));

    auto loaded = CCounterObject::MakeForLoad();
    CByteReader reader(std::span<const uint8_t>(bytes), v8);
    reader.ReadTag();
    loaded->Load(reader, v8);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(loaded->GetCounterId(), 41);
    EXPECT_EQ(loaded->GetCounterStyle(), 3);
    EXPECT_EQ(loaded->GetRect(), first.GetRect());
    ASSERT_NE(loaded->GetLink(), nullptr);
    EXPECT_TRUE(*loaded->GetLink() == link);
    EXPECT_EQ(CurrentSettings().GetCounterId(), 43);
    EXPECT_EQ(first.Clone(), nullptr);
    auto snapshot = first.SnapshotGeometry();
    EXPECT_EQ(CurrentSettings().GetCounterId(), 43) << "undo snapshots are not new counters";

    std::vector<uint8_t> bad = bytes;
    bad[4] = 4;
    CByteReader badReader(std::span<const uint8_t>(bad), v8);
    badReader.ReadTag();
    EXPECT_THROW(loaded->Load(badReader, v8), CFileFormatException);
    EXPECT_EQ(loaded->GetCounterStyle(), 3) << "a failed load leaves the object alone";
}

TEST(HtmlObject, DragMinimumGeometryAndStreams) {
    CHtmlObject small(DPOINT{20, 30}, 4, 40);
    EXPECT_EQ(small.GetSize(), (CObjectSize{15, 40}));
    EXPECT_EQ(small.GetRect(), (CRect{20, 30, 35, 70}));
    EXPECT_DOUBLE_EQ(small.GetCenter().x, 27.5);
    EXPECT_DOUBLE_EQ(small.GetHandles()[2].x, 35.0);
    EXPECT_DOUBLE_EQ(small.GetHandles()[6].y, 70.0);

    // The placeholder covers the box, opaque, tiled from the corner.
    CPixMap work;
    ASSERT_TRUE(small.PrepareAndRender(work));
    ASSERT_NE(small.GetImage(), nullptr);
    const CBmp tile("html-placeholder.bmp");
    const CImage& image = *small.GetImage();
    EXPECT_EQ(image.Width(), 15);
    for (auto [x, y] : {std::pair{0, 0}, {14, 39}, {3, tile.Height() + 2}}) {
        const uint8_t* p = ArgbAt(image, x, y);
        const uint8_t* b = tile.Pixel(x % tile.Width(), y % tile.Height());
        EXPECT_EQ(p[0], 255);
        EXPECT_EQ(p[1], b[2]);
        EXPECT_EQ(p[3], b[0]);
    }

    // Resizing keeps the centre (an odd side lowers it by half a pixel).
    CHtmlObject box(100.0, 50.0, 40, 20);
    EXPECT_EQ(box.GetRect(), (CRect{80, 40, 120, 60}));
    box.SetSize(41, 20);
    EXPECT_TRUE(box.IsDirty());
    EXPECT_EQ(box.GetRect(), (CRect{79, 40, 120, 60}));

    // Round trip in the current layout.
    box.SetName("Kort");
    box.SetCode("init()", "<script src='a.js'></script>", "<b>hej</b>");
    box.SetUsedFiles({"a.js", "b.png"});
    const std::vector<uint8_t> bytes = Saved(box);
    CHtmlObject back(0.0, 0.0, 10, 10);
    CByteReader reader(std::span<const uint8_t>(bytes), v8);
    reader.ReadTag();
    back.Load(reader, v8);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(back.GetName(), "Kort");
    EXPECT_EQ(back.GetOnloadCode(), "init()");
    EXPECT_EQ(back.GetHeaderCode(), "<script src='a.js'></script>");
    EXPECT_EQ(back.GetBodyCode(), "<b>hej</b>");
    EXPECT_EQ(back.GetUsedFiles(), (std::vector<std::string>{"a.js", "b.png"}));
    EXPECT_EQ(back.GetRect(), box.GetRect());
    EXPECT_EQ(back.EstimateBytes(1.0), 28 + 10);
    auto clone = back.Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(static_cast<CHtmlObject&>(*clone).GetBodyCode(), "<b>hej</b>");

    // A geometry snapshot gives back an odd-sized box's exact centre and
    // leaves the code with the object on the page.
    const DPOINT centre = box.GetCenter();
    auto snapshot = box.SnapshotGeometry();
    box.SetSize(60, 30);
    box.SwapGeometry(*snapshot);
    EXPECT_DOUBLE_EQ(box.GetCenter().x, centre.x);
    EXPECT_DOUBLE_EQ(box.GetCenter().y, centre.y);
    EXPECT_EQ(box.GetRect(), (CRect{79, 40, 120, 60}));
    EXPECT_EQ(box.GetBodyCode(), "<b>hej</b>");
    EXPECT_EQ(snapshot->GetSize(), (CObjectSize{60, 30}));

    // Version 6 holds one code string: the body.
    CRecordBytes old;
    old.F64(60).F64(40).I32(30).I32(20).I32(45).I32(30).I32(75).I32(50).Str("gammel").Str(
        "<i>krop</i>");
    CByteReader oldReader(std::span<const uint8_t>(old.bytes), v6);
    back.Load(oldReader, v6);
    EXPECT_TRUE(oldReader.AtEnd());
    EXPECT_EQ(back.GetBodyCode(), "<i>krop</i>");
    EXPECT_EQ(back.GetHeaderCode(), "");
    EXPECT_EQ(back.GetOnloadCode(), "");
    EXPECT_TRUE(back.GetUsedFiles().empty());
    EXPECT_EQ(back.GetSize(), (CObjectSize{30, 20}));

    // Damaged: negative size, an absurd file count.
    CRecordBytes negative;
    negative.F64(0).F64(0).I32(-1).I32(20);
    CByteReader negativeReader(std::span<const uint8_t>(negative.bytes), v8);
    EXPECT_THROW(back.Load(negativeReader, v8), CFileFormatException);
    CRecordBytes files;
    files.F64(0)
        .F64(0)
        .I32(5)
        .I32(5)
        .I32(0)
        .I32(0)
        .I32(5)
        .I32(5)
        .Str("")
        .Str("")
        .Str("")
        .Str("")
        .I32(1000000);
    CByteReader filesReader(std::span<const uint8_t>(files.bytes), v8);
    EXPECT_THROW(back.Load(filesReader, v8), CFileFormatException);
    EXPECT_EQ(back.GetBodyCode(), "<i>krop</i>");
}

TEST(FormObject, HtmlPictureHandlesAndStream) {
    const CFormObject empty("", DPOINT{200, 200});
    const std::string html = empty.GetFormHtml();
    std::vector<std::string> lines;
    std::istringstream in(html);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(html.back(), '\n');
    EXPECT_EQ(lines[0], std::string("<form method='POST' name='formular' "
                                    "onsubmit='WriteSenderWindow();' action='") +
                            CFormObject::kFormMailAction + "'>");
    EXPECT_NE(lines[0].find("/Scripts/Formular1DK.php4'>"), std::string::npos);
    EXPECT_EQ(lines[1], "  <input type='hidden' name='receiver' value=''>");
    EXPECT_EQ(lines[2],
              "  <input type='hidden' name='subject' value='Foresp\xF8rgsel fra bruger p\xE5 "
              "hjemmesiden'>");
    EXPECT_EQ(lines[13], "  <input type='submit' value='  Afsend  ' name='B2'></p>");
    EXPECT_EQ(lines[14], "</form>");

    // An address that would close the attribute is written as entities.
    const CFormObject odd("a'b@c.dk", DPOINT{0, 0});
    EXPECT_NE(odd.GetFormHtml().find("value='a&#39;b@c.dk'>"), std::string::npos);

    // Colours from the form bitmap, alpha from the grey one.
    const CBmp colours("form.bmp"), alpha("form-alpha.bmp");
    ASSERT_NE(empty.GetImage(), nullptr);
    EXPECT_EQ(empty.GetSize(), (CObjectSize{colours.Width(), colours.Height()}));
    for (auto [x, y] : {std::pair{0, 0}, {30, 20}, {colours.Width() - 1, 100}}) {
        const uint8_t* p = ArgbAt(*empty.GetImage(), x, y);
        EXPECT_EQ(p[0], alpha.Pixel(x, y)[1]);
        EXPECT_EQ(p[1], colours.Pixel(x, y)[2]);
    }

    // Handles of a form at (10, 20, 110, 70), read from a stream.
    CRecordBytes record;
    record.Str("post@firma.dk").F64(60).F64(45).I32(10).I32(20).I32(110).I32(70);
    CFormObject form("", 0.0, 0.0);
    CByteReader reader(std::span<const uint8_t>(record.bytes), v8);
    form.Load(reader, v8);
    EXPECT_EQ(form.GetReceiver(), "post@firma.dk");
    const DPOINT* h = form.GetHandles();
    EXPECT_DOUBLE_EQ(h[0].x, 10);
    EXPECT_DOUBLE_EQ(h[1].x, 60);
    EXPECT_DOUBLE_EQ(h[2].x, 109);
    EXPECT_DOUBLE_EQ(h[0].y, 20);
    EXPECT_DOUBLE_EQ(h[3].y, 44.5);
    EXPECT_DOUBLE_EQ(h[5].y, 69);
    CRecordBytes expected;
    expected.I32(static_cast<int32_t>(TAG_FORM));
    expected.bytes.insert(expected.bytes.end(), record.bytes.begin(), record.bytes.end());
    EXPECT_EQ(Saved(form), expected.bytes);

    // Moving: whole pixels shift rect and handles.
    form.MoveBy(3, -2);
    EXPECT_EQ(form.GetRect(), (CRect{13, 18, 113, 68}));
    EXPECT_DOUBLE_EQ(form.GetHandles()[2].x, 112);
}

TEST(BoxObject, RoundingRule) {
    EXPECT_EQ(CBoxObject::RoundHalfUp(2.5), 3);
    EXPECT_EQ(CBoxObject::RoundHalfUp(2.49), 2);
    EXPECT_EQ(CBoxObject::RoundHalfUp(-2.5), -2);
    EXPECT_EQ(CBoxObject::RoundHalfUp(-2.7), -2);
    // An odd side lowers the stored centre by half a pixel before rounding.
    EXPECT_EQ(CBoxObject::RectAroundStoredCenter({10.5, 10.5}, 5, 4), (CRect{8, 9, 13, 13}));
    EXPECT_EQ(CBoxObject::RectAroundPoint({10, 10}, 5, 4), (CRect{8, 8, 13, 12}));
}

// The free reader picks the class from the stream tag, so each box kind comes
// back as itself with its own geometry.
TEST(BoxObject, ReadObjectRecognisesEveryBoxKind) {
    std::vector<std::unique_ptr<CPageObject>> originals;
    originals.push_back(std::make_unique<CCounterObject>(2, 120.0, 80.0));
    originals.push_back(std::make_unique<CHtmlObject>(DPOINT{30, 40}, 200, 50));
    originals.push_back(std::make_unique<CFormObject>("post@firma.dk", 300.0, 200.0));
    for (const auto& original : originals) {
        CByteWriter writer;
        original->Save(writer);
        CByteReader reader(writer.Data(), v8);
        std::unique_ptr<CPageObject> back = ReadObject(reader, v8);
        ASSERT_TRUE(back);
        EXPECT_TRUE(reader.AtEnd());
        EXPECT_EQ(back->GetKind(), original->GetKind());
        EXPECT_EQ(back->GetRect(), original->GetRect());
    }
}
