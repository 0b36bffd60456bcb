#include "image/Image.h"
#include "services/Gradient.h"
#include "model/ObjectFill.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/IO.h"
#include "tests/model/RecordBytes.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>

namespace {
constexpr CStreamVersion v4{1, 4}, v5{1, 5}, v8{1, 8};
constexpr int32_t kMarker = 0x0BADF00D;

// A pixel value that differs between neighbouring pixels and tiles.
uint8_t Sample(int x, int y, int c) {
    return static_cast<uint8_t>(x * 7 + y * 13 + c * 101);
}

std::unique_ptr<CImage> MakePicture(IMAGE_MODE mode, int w, int h) {
    auto image = std::make_unique<CImage>(mode, w, h, 96.0);
    const int bpp = mode == IMAGE_RGB8 ? 3 : 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < bpp; ++c)
                image->Bits()[y * image->RowBytes() + x * bpp + c] = Sample(x, y, c);
    return image;
}

CFillGradient MakeGradient() {
    GRADIENTCOLORS g;
    g.startColour = CColor(1, 2, 3);
    g.endColour = CColor(4, 5, 6);
    g.stopColoursBefore = {CColor(10, 11, 12), CColor(20, 21, 22)};
    g.stopColoursAfter = {CColor(13, 14, 15), CColor(23, 24, 25)};
    g.stopPositions = {0.3, 0.83};
    g.kind = -1; // as the style presets make them
    return CFillGradient(g, 315);
}

CObjectFill SaveLoad(const CObjectFill& fill, CStreamVersion version = v8) {
    CByteWriter w;
    fill.Save(w);
    CByteReader r(w.Data());
    CObjectFill back;
    back.Load(r, version);
    EXPECT_TRUE(r.AtEnd());
    return back;
}

void ExpectLoadThrows(const CRecordBytes& s, CStreamVersion version = v8) {
    CByteReader r(s.bytes);
    CObjectFill fill(CColor(9, 9, 9));
    fill.SetColour(CColor(1, 2, 3));
    EXPECT_THROW(fill.Load(r, version), CFileFormatException);
    EXPECT_EQ(fill.GetType(), CObjectFill::fillSolid);
    EXPECT_EQ(fill.GetColour().GetCOLORREF(), 0x030201u);
}
} // namespace

TEST(GradientTest, PredefinedGradientsAndEquality) {
    GRADIENTCOLORS g;
    GetPredefinedGradient(g, 2);
    EXPECT_EQ(g.kind, 2);
    EXPECT_EQ(g.startColour.GetCOLORREF(), 0xFF0000u);
    EXPECT_EQ(g.endColour.GetCOLORREF(), 0xFFFFFFu);
    ASSERT_EQ(g.StopCount(), 1u);
    EXPECT_EQ(g.stopPositions[0], 0.1);
    EXPECT_EQ(g.stopColoursBefore[0].GetCOLORREF(), 0xFF0000u);
    EXPECT_EQ(g.stopColoursAfter[0].GetCOLORREF(), 0xFFFFFFu);

    GetPredefinedGradient(g, 3);
    const std::vector<double> positions = {0.1666666, 0.3333333, 0.5, 0.6666666, 0.8333333};
    const std::vector<COLORREF> colours = {0xFF00FF, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF};
    EXPECT_EQ(g.stopPositions, positions);
    EXPECT_NE(g.stopPositions[0], 1.0 / 6);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(g.stopColoursBefore[i].GetCOLORREF(), colours[i]);
        EXPECT_EQ(g.stopColoursAfter[i].GetCOLORREF(), colours[i]);
    }
    EXPECT_EQ(g.startColour.GetCOLORREF(), 0x0000FFu);
    EXPECT_EQ(g.endColour.GetCOLORREF(), 0x0000FFu);

    // Unknown numbers change nothing; 1 replaces the stops too.
    GetPredefinedGradient(g, 4);
    EXPECT_EQ(g.kind, 3);
    GetPredefinedGradient(g, 1);
    EXPECT_EQ(g.StopCount(), 0u);
    EXPECT_EQ(g.startColour.GetCOLORREF(), 0u);
    EXPECT_EQ(GetPredefinedNo(), 4);

    // kind is not compared, colours are compared by COLORREF, the angle only
    // for fill gradients.
    GRADIENTCOLORS a, b;
    GetPredefinedGradient(a, 3);
    GetPredefinedGradient(b, 3);
    b.kind = 4;
    EXPECT_TRUE(IsGradientEqual(a, b));
    b.stopPositions[2] = 0.5000001;
    EXPECT_FALSE(IsGradientEqual(a, b));
    b = a;
    b.stopColoursAfter[4] = CColor(255, 255, 1);
    EXPECT_FALSE(IsGradientEqual(a, b));
    b = a;
    b.stopColoursBefore.pop_back();
    b.stopColoursAfter.pop_back();
    b.stopPositions.pop_back();
    EXPECT_FALSE(IsGradientEqual(a, b));
    CFillGradient fa(a, 0), fb(a, 90);
    EXPECT_FALSE(fa == fb);
    fb.angle = 0;
    EXPECT_TRUE(fa == fb);
    fb.SetColours(b);
    EXPECT_EQ(fb.angle, 0);
    EXPECT_FALSE(fa == fb);

    const CFillGradient made;
    GRADIENTCOLORS zero;
    GetPredefinedGradient(zero, 0);
    EXPECT_TRUE(IsGradientEqual(made, zero));
    EXPECT_EQ(made.angle, 0);
}

TEST(GradientTest, RecordLayoutAndBadStopCounts) {
    const CFillGradient g = MakeGradient();
    CByteWriter w;
    g.Save(w);
    CRecordBytes expected;
    expected.Rgb(1, 2, 3).Rgb(4, 5, 6).I32(2);
    expected.Rgb(10, 11, 12).Rgb(13, 14, 15).F64(0.3);
    expected.Rgb(20, 21, 22).Rgb(23, 24, 25).F64(0.83);
    expected.I32(-1).I32(315);
    EXPECT_EQ(w.Data(), expected.bytes);

    CByteReader r(w.Data());
    CFillGradient back;
    back.Load(r);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_TRUE(back == g);
    EXPECT_EQ(back.kind, -1);

    for (int64_t n : {-1LL, 3LL, 0x7FFFFFFFLL}) {
        CRecordBytes bad;
        bad.Rgb(1, 2, 3).Rgb(4, 5, 6).I32(n);
        bad.Rgb(10, 11, 12).Rgb(13, 14, 15).F64(0.3);
        bad.Rgb(20, 21, 22).Rgb(23, 24, 25).F64(0.83).I32(0).I32(0);
        CByteReader br(bad.bytes);
        CFillGradient kept = g;
        EXPECT_THROW(kept.Load(br), CFileFormatException) << n;
        EXPECT_TRUE(kept == g);
    }
}

TEST(ObjectFillTest, SolidFillLayoutAndEveryTypeRoundTrips) {
    CObjectFill solid;
    solid.SetColour(CColor(0x12, 0x34, 0x56));
    CByteWriter w;
    solid.Save(w);
    CRecordBytes expected;
    expected.U8(0x98).U8(0x6B).U8(0xF7).U8(0x13).I32(0).Rgb(0x12, 0x34, 0x56).U8(0);
    EXPECT_EQ(w.Data(), expected.bytes);

    EXPECT_TRUE(SaveLoad(solid) == solid);
    EXPECT_FALSE(SaveLoad(solid).NeedsRender());

    CObjectFill picture;
    picture.SetImagePath("billeder/hus\xE6.jpg");
    picture.SetPicture(true);
    const CObjectFill p = SaveLoad(picture);
    EXPECT_EQ(p.GetType(), CObjectFill::fillImage);
    EXPECT_EQ(p.GetImagePath(), "billeder/hus\xE6.jpg");
    EXPECT_TRUE(p.IsPicture());
    EXPECT_TRUE(p.NeedsRender());
    EXPECT_EQ(p.GetImage(), nullptr);

    CObjectFill gradient;
    gradient.SetGradient(MakeGradient());
    const CObjectFill g = SaveLoad(gradient);
    EXPECT_EQ(g.GetType(), CObjectFill::fillGradient);
    EXPECT_TRUE(g.GetGradient() == MakeGradient());
    EXPECT_EQ(g.GetGradient().angle, 315);
    EXPECT_EQ(g.GetGradient().kind, -1);
    EXPECT_FALSE(g.IsPicture());

    CObjectFill text;
    text.SetTextColour();
    EXPECT_EQ(SaveLoad(text).GetType(), CObjectFill::fillTextColour);

    // Version 5 already has the picture flag.
    CByteWriter w5;
    picture.Save(w5);
    CByteReader r5(w5.Data());
    CObjectFill back5;
    back5.Load(r5, v5);
    EXPECT_TRUE(back5.IsPicture());
}

TEST(ObjectFillTest, VersionFourHasNoPictureFlag) {
    CRecordBytes s;
    s.I32(0x13F76B98).I32(1).Str("a.gif").I32(kMarker);
    CByteReader r(s.bytes);
    CObjectFill fill;
    fill.SetPicture(true);
    fill.Load(r, v4);
    EXPECT_EQ(fill.GetImagePath(), "a.gif");
    EXPECT_FALSE(fill.IsPicture());
    EXPECT_EQ(r.ReadInt32(), kMarker);
}

TEST(ObjectFillTest, HeldPictureIsStoredInTiles) {
    // 300 x 260 crosses a tile border both ways: 2 x 2 tiles, the right and
    // bottom ones partly used.
    CObjectFill fill;
    fill.SetHeldImage(MakePicture(IMAGE_RGB8, 300, 260));
    CByteWriter w;
    fill.Save(w);
    const std::vector<uint8_t>& d = w.Data();
    const std::size_t header = 4 + 4 + 12, tileRow = 256 * 3;
    ASSERT_EQ(d.size(), header + 260 * 2 * tileRow + 1);
    CRecordBytes head;
    head.I32(0x13F76B98).I32(4).I32(300).I32(260).I32(3);
    EXPECT_TRUE(std::equal(head.bytes.begin(), head.bytes.end(), d.begin()));

    auto at = [&](std::size_t tileRowIndex, std::size_t tileInRow, std::size_t rowInTile,
                  std::size_t rowsInTileRow, std::size_t xInTile, int c) {
        const std::size_t tileRowStart = header + tileRowIndex * 256 * 2 * tileRow;
        return d[tileRowStart + tileInRow * rowsInTileRow * tileRow + rowInTile * tileRow +
                 xInTile * 3 + c];
    };
    EXPECT_EQ(at(0, 0, 0, 256, 0, 0), Sample(0, 0, 0));
    EXPECT_EQ(at(0, 0, 255, 256, 255, 2), Sample(255, 255, 2));
    EXPECT_EQ(at(0, 1, 10, 256, 14, 1), Sample(270, 10, 1));
    EXPECT_EQ(at(0, 1, 10, 256, 44, 0), 0) << "the unused end of a tile row is zero";
    EXPECT_EQ(at(1, 0, 2, 4, 5, 0), Sample(5, 258, 0));
    EXPECT_EQ(at(1, 1, 3, 4, 43, 2), Sample(299, 259, 2));

    CByteReader r(d);
    CObjectFill back;
    back.Load(r, v8);
    EXPECT_TRUE(r.AtEnd());
    ASSERT_NE(back.GetImage(), nullptr);
    EXPECT_EQ(back.GetImage()->Width(), 300);
    EXPECT_EQ(back.GetImage()->Height(), 260);
    EXPECT_EQ(back.GetImage()->GetMode(), IMAGE_RGB8);
    EXPECT_FALSE(back.NeedsRender());
    EXPECT_TRUE(back == fill);

    // Grey pictures keep one byte per pixel; an empty picture has no tiles.
    CObjectFill grey;
    grey.SetHeldImage(MakePicture(IMAGE_GRAY8, 3, 2));
    CByteWriter gw;
    grey.Save(gw);
    EXPECT_EQ(gw.Data().size(), 20u + 2 * 256 + 1);
    EXPECT_TRUE(SaveLoad(grey) == grey);
    CObjectFill empty;
    empty.SetHeldImage(std::make_unique<CImage>(IMAGE_RGB8, 0, 0, 96.0));
    const CObjectFill e = SaveLoad(empty);
    ASSERT_NE(e.GetImage(), nullptr);
    EXPECT_EQ(e.GetImage()->Width(), 0);
}

TEST(ObjectFillTest, MalformedRecordsThrowAndKeepTheFill) {
    CRecordBytes wrongTag, type5, typeNeg, mode0, mode4, negW, negH, absurd, barelyShort, badPath;
    wrongTag.I32(0x13F76B99).I32(0).Rgb(1, 1, 1).U8(0);
    type5.I32(0x13F76B98).I32(5).U8(0);
    typeNeg.I32(0x13F76B98).I32(-1).U8(0);
    mode0.I32(0x13F76B98).I32(4).I32(1).I32(1).I32(0);
    mode4.I32(0x13F76B98).I32(4).I32(1).I32(1).I32(4);
    negW.I32(0x13F76B98).I32(4).I32(-1).I32(1).I32(3);
    negH.I32(0x13F76B98).I32(4).I32(1).I32(-300).I32(3);
    absurd.I32(0x13F76B98).I32(4).I32(0x7FFFFFFF).I32(0x7FFFFFFF).I32(3);
    absurd.bytes.resize(absurd.bytes.size() + 4096);
    // One byte short of a 1 x 2 grey picture.
    barelyShort.I32(0x13F76B98).I32(4).I32(1).I32(2).I32(1);
    barelyShort.bytes.resize(barelyShort.bytes.size() + 2 * 256 - 1);
    badPath.I32(0x13F76B98).I32(1).I32(2049);
    badPath.bytes.resize(badPath.bytes.size() + 2049);
    for (const CRecordBytes* s : {&wrongTag, &type5, &typeNeg, &mode0, &mode4, &negW, &negH,
                                  &absurd, &barelyShort, &badPath})
        ExpectLoadThrows(*s);
    // A record cut off before the picture flag.
    CRecordBytes noFlag;
    noFlag.I32(0x13F76B98).I32(0).Rgb(1, 1, 1);
    ExpectLoadThrows(noFlag, v5);
}

TEST(ObjectFillTest, SettersCopiesAndInvalidate) {
    CObjectFill fill;
    fill.SetImage("a.png", MakePicture(IMAGE_RGB8, 4, 4));
    fill.SetAnimatedGif(true);
    EXPECT_EQ(fill.GetType(), CObjectFill::fillImage);
    EXPECT_FALSE(fill.NeedsRender());
    EXPECT_TRUE(fill.Render());

    // A copy does not share the loaded picture: it loads its own.
    const CObjectFill copy(fill);
    EXPECT_EQ(copy.GetImage(), nullptr);
    EXPECT_TRUE(copy.NeedsRender());
    EXPECT_TRUE(copy.IsAnimatedGif());
    EXPECT_TRUE(copy == fill);

    fill.SetGradient(MakeGradient());
    EXPECT_EQ(fill.GetImage(), nullptr);
    EXPECT_TRUE(fill.NeedsRender());
    EXPECT_FALSE(fill.IsAnimatedGif());
    EXPECT_EQ(fill.Render(40, 30), 0);
    ASSERT_NE(fill.GetImage(), nullptr);
    EXPECT_EQ(fill.GetImage()->Width(), 40);
    EXPECT_EQ(fill.GetImage()->Height(), 30);
    EXPECT_FALSE(fill.NeedsRender());

    // A held picture is the fill's content: copies and Invalidate keep it.
    CObjectFill held;
    held.SetHeldImage(MakePicture(IMAGE_RGB8, 5, 3));
    const CImage* original = held.GetImage();
    CObjectFill heldCopy;
    heldCopy = held;
    ASSERT_NE(heldCopy.GetImage(), nullptr);
    EXPECT_NE(heldCopy.GetImage(), original);
    EXPECT_TRUE(heldCopy == held);
    heldCopy.GetImage()->Bits()[0] ^= 0xFF;
    EXPECT_FALSE(heldCopy == held) << "held pictures compare by pixels";
    held.Invalidate();
    EXPECT_EQ(held.GetImage(), original);
    EXPECT_TRUE(held.NeedsRender());
    EXPECT_TRUE(held.Render());

    fill.SetImage("b.png", MakePicture(IMAGE_RGB8, 2, 2));
    fill.Invalidate();
    EXPECT_EQ(fill.GetImage(), nullptr);
    fill.SetColour(CColor(5, 5, 5));
    EXPECT_FALSE(fill.NeedsRender());

    // Equality looks only at the field the type uses, plus the picture flag.
    CObjectFill a, b;
    a.SetImagePath("x.jpg");
    b.SetColour(CColor(1, 1, 1));
    b.SetImagePath("x.jpg");
    EXPECT_TRUE(a == b);
    b.SetPicture(true);
    EXPECT_FALSE(a == b);
    a.SetTextColour();
    b.SetTextColour();
    b.SetPicture(false);
    EXPECT_TRUE(a == b);
    CFillGradient turned = MakeGradient();
    a.SetGradient(turned);
    turned.angle = 0;
    b.SetGradient(turned);
    EXPECT_FALSE(a == b);
}

TEST(ObjectFillTest, PicturePathsGoThroughTheMapping) {
    CObjectFill fill;
    fill.SetImagePath("/home/ida/site/billeder/a.jpg");
    CByteWriter w;
    fill.Save(w,
              [](const std::string& p) { return p.substr(std::string("/home/ida/site/").size()); });
    CRecordBytes expected;
    expected.I32(0x13F76B98).I32(1).Str("billeder/a.jpg").U8(0);
    EXPECT_EQ(w.Data(), expected.bytes);
    CByteReader r(w.Data());
    CObjectFill back;
    back.Load(r, v8, [](const std::string& p) { return "/srv/kopi/" + p; });
    EXPECT_EQ(back.GetImagePath(), "/srv/kopi/billeder/a.jpg");
}

TEST(ObjectFillTest, RenderLoadsThePictureFileOnce) {
    pwtest::TempDir dir;
    // The model's path is Windows-1252 ("hus\xE6" = "husæ"); the file on disk
    // carries the UTF-8 name.
    const std::filesystem::path onDisk = dir / "hus\xC3\xA6.png";
    int format = FORMAT_PNG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(onDisk, *MakePicture(IMAGE_RGB8, 6, 5), format, 100, error, ""));

    CObjectFill fill;
    fill.SetImagePath(dir.Path().string() + "/hus\xE6.png");
    EXPECT_TRUE(fill.Render());
    ASSERT_NE(fill.GetImage(), nullptr);
    EXPECT_EQ(fill.GetImage()->Width(), 6);
    EXPECT_EQ(fill.GetImage()->Bits()[3 * 2 + 1], Sample(2, 0, 1));
    EXPECT_EQ(fill.GetRenderError(), 0);

    CObjectFill missing;
    missing.SetImagePath(dir.Path().string() + "/ingen.png");
    EXPECT_FALSE(missing.Render());
    EXPECT_TRUE(missing.NeedsRender());
    EXPECT_EQ(missing.GetRenderError(), IOERR_NOT_FOUND);

    std::ofstream(dir / "rod.png") << "not a picture";
    CObjectFill broken;
    broken.SetImagePath((dir / "rod.png").string());
    EXPECT_FALSE(broken.Render());
    EXPECT_EQ(broken.GetRenderError(), IOERR_FORMAT);
    broken.SetColour(CColor(1, 2, 3));
    EXPECT_EQ(broken.GetRenderError(), 0);
}
