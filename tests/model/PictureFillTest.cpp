#include "image/Image.h"
#include "services/RelinkMaps.h"
#include "model/MissingPicture.h"
#include "model/ObjectFill.h"
#include "model/PicturePaths.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/CurrentSettings.h"
#include "services/IO.h"
#include "services/Settings.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
namespace mp = missing_picture;
using pwtest::CScriptedInteraction;

namespace {
// A small RGB picture saved as PNG; its first pixel tells the files apart.
void WritePicture(const fs::path& file, int width, int height, uint8_t tag) {
    fs::create_directories(file.parent_path());
    CImage image(IMAGE_RGB8, width, height, 96.0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            image.Bits()[y * image.RowBytes() + x] = tag;
    int format = FORMAT_PNG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(file, image, format, 100, error, ""));
}

void WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

uint32_t Crc32(const uint8_t* p, std::size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose header claims 30000 x 30000 pixels: more than the readers take.
std::vector<uint8_t> HugePngHeader() {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
    const std::vector<uint8_t> ihdr = {'I', 'H',  'D',  'R', 0, 0, 0x75, 0x30, 0,
                                       0,   0x75, 0x30, 8,   2, 0, 0,    0};
    png.insert(png.end(), ihdr.begin(), ihdr.end());
    const uint32_t crc = Crc32(ihdr.data(), ihdr.size());
    for (int i = 3; i >= 0; --i)
        png.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return png;
}

uint8_t FirstByte(const CImage& image) {
    return image.Bits()[0];
}
} // namespace

TEST(MissingPicture, FoundFilesAreRememberedForTheRestOfTheSite) {
    pwtest::TempDir dir;
    const std::string oldFolder = (dir / "old").string() + "/";
    const fs::path newFolder = dir / "new";
    WritePicture(newFolder / "a.png", 4, 3, 11);
    WritePicture(newFolder / "b.png", 5, 2, 22);
    CRelinkMaps maps;
    CScriptedInteraction ui;
    int modified = 0;
    const CPictureContext context{&maps, &ui, [&] { ++modified; }};

    // The first missing file is asked for once; the user finds it elsewhere.
    ui.ExpectChoice(mp::kMissingId, 1).ExpectFile(newFolder / "a.png");
    CPictureLoad first = LoadFillPicture(oldFolder + "a.png", CColor(1, 2, 3), context);
    ASSERT_NE(first.image, nullptr);
    EXPECT_EQ(FirstByte(*first.image), 11);
    EXPECT_EQ(first.path, (newFolder / "a.png").string());
    EXPECT_FALSE(first.useColour);
    EXPECT_EQ(modified, 1);
    EXPECT_TRUE(ui.SawText("Billedfyldet nedenfor findes ikke."));
    EXPECT_TRUE(ui.SawText(oldFolder + "a.png"));
    EXPECT_EQ(maps.FindFile(oldFolder + "A.PNG"),
              CRelinkMaps::ToLower((newFolder / "a.png").string()));
    EXPECT_EQ(maps.FindFolder(oldFolder), CRelinkMaps::ToLower(newFolder.string() + "/"));
    EXPECT_EQ(MutableCurrentSettings().GetImagePath(), newFolder.string() + "/");

    // A second file of the old folder is found silently through the folder map.
    CPictureLoad second = LoadFillPicture(oldFolder + "b.png", CColor(1, 2, 3), context);
    ASSERT_NE(second.image, nullptr);
    EXPECT_EQ(FirstByte(*second.image), 22);
    EXPECT_EQ(modified, 1);
    EXPECT_TRUE(ui.Verify());
    EXPECT_EQ(ui.CountCalls(CScriptedInteraction::EKind::Choice), 1);

    // Object fills use the same handling: a third file of the old folder
    // loads silently, a file nobody can find turns solid when the user says OK.
    WritePicture(newFolder / "c.png", 3, 3, 33);
    CObjectFill found;
    found.SetImagePath(oldFolder + "c.png");
    EXPECT_EQ(found.Render(3, 3, &context), 0);
    ASSERT_NE(found.GetImage(), nullptr);
    EXPECT_EQ(FirstByte(*found.GetImage()), 33);
    CObjectFill lost(CColor(4, 5, 6));
    lost.SetImagePath(oldFolder + "gone.png");
    EXPECT_EQ(lost.Render(3, 3, nullptr), IOERR_NOT_FOUND);
    ui.ExpectChoice(mp::kMissingId, 0);
    EXPECT_EQ(lost.Render(3, 3, &context), 0);
    EXPECT_EQ(lost.GetType(), CObjectFill::fillSolid);
    EXPECT_EQ(lost.GetColour().GetCOLORREF(), CColor(4, 5, 6).GetCOLORREF());
    EXPECT_TRUE(ui.Verify());
}

TEST(MissingPicture, BrokenFilesMemoryAndGivingUp) {
    pwtest::TempDir dir;
    WriteBytes(dir / "broken.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    WriteBytes(dir / "huge.png", HugePngHeader());
    WritePicture(dir / "fixed" / "good.png", 2, 2, 77);
    CRelinkMaps maps;
    CScriptedInteraction ui;
    const CPictureContext context{&maps, &ui, {}};
    const std::string broken = (dir / "broken.png").string();

    // A bad picture, then a chosen one too big for memory: no more questions.
    ui.ExpectChoice(mp::kBrokenId, 1).ExpectFile(dir / "huge.png");
    CPictureLoad gaveUp = LoadFillPicture(broken, CColor(9, 8, 7), context);
    EXPECT_EQ(gaveUp.image, nullptr);
    EXPECT_FALSE(gaveUp.useColour) << "no memory for the chosen file ends the round";
    EXPECT_EQ(gaveUp.error, IOERR_NO_MEMORY);
    EXPECT_TRUE(ui.Verify());

    // Another bad one chosen asks again; OK takes the solid colour.
    ui.ExpectChoice(mp::kBrokenId, 1).ExpectFile(dir / "broken.png").ExpectChoice(mp::kBrokenId, 0);
    CPictureLoad solid = LoadFillPicture(broken, CColor(9, 8, 7), context);
    EXPECT_EQ(solid.image, nullptr);
    EXPECT_TRUE(solid.useColour);
    EXPECT_EQ(solid.colour.GetCOLORREF(), CColor(9, 8, 7).GetCOLORREF());
    EXPECT_TRUE(ui.SawText("Billedfyldet nedenfor er ikke et korrekt billede."));
    EXPECT_TRUE(ui.Verify());

    // A colour picked in the swatch before trying again is the one OK takes.
    ui.ExpectChoiceWithColour(mp::kBrokenId, 1, CColor(1, 2, 3))
        .ExpectFile({})
        .ExpectChoice(mp::kBrokenId, 0);
    CPictureLoad picked = LoadFillPicture(broken, CColor(9, 8, 7), context);
    EXPECT_TRUE(picked.useColour);
    EXPECT_EQ(picked.colour.GetCOLORREF(), CColor(1, 2, 3).GetCOLORREF());
    EXPECT_TRUE(ui.Verify());

    // A replaced bad picture goes into the file map only.
    ui.ExpectChoice(mp::kBrokenId, 1).ExpectFile(dir / "fixed" / "good.png");
    CPictureLoad fixed = LoadFillPicture(broken, CColor(), context);
    ASSERT_NE(fixed.image, nullptr);
    EXPECT_EQ(maps.FileCount(), 1u);
    EXPECT_EQ(maps.FolderCount(), 0u);
    EXPECT_TRUE(ui.Verify());
    // ... and is found from the map the next time without a question.
    EXPECT_NE(LoadFillPicture(broken, CColor(), context).image, nullptr);

    // Out of memory: a notice and solid red.
    ui.ExpectMessage(mp::kNoMemoryId, EAnswer::Ok);
    CPictureLoad red = LoadFillPicture((dir / "huge.png").string(), CColor(0, 0, 0), context);
    EXPECT_TRUE(red.useColour);
    EXPECT_EQ(red.colour.GetCOLORREF(), CColor(255, 0, 0).GetCOLORREF());
    EXPECT_TRUE(ui.Verify());

    // Nobody to ask: the load just fails with the reason.
    CPictureLoad quiet = LoadFillPicture((dir / "nowhere.png").string(), CColor(), {});
    EXPECT_EQ(quiet.image, nullptr);
    EXPECT_EQ(quiet.error, IOERR_NOT_FOUND);
    EXPECT_FALSE(quiet.useColour);
}

TEST(PicturePaths, RelativeToTheSiteAndTemplateWarnings) {
    namespace pp = picture_paths;
    CScriptedInteraction ui;
    const std::string site = "/home/ann/Sider/Min/site.pwu";

    EXPECT_EQ(pp::ToStored("/home/ann/Sider/MIN/billeder/a.png", site, false, &ui),
              "billeder/a.png");
    EXPECT_EQ(pp::ToStored("/home/ann/Sider/Mine/a.png", site, false, &ui),
              "/home/ann/Sider/Mine/a.png")
        << "a folder with the same beginning is not the site's folder";
    EXPECT_EQ(pp::FromStored("billeder\\a.png", site, &ui), "/home/ann/Sider/Min/billeder/a.png");
    EXPECT_EQ(pp::FromStored("C:\\Billeder\\a.png", site, &ui), "C:\\Billeder\\a.png");
    EXPECT_EQ(pp::FromStored("ab", site, &ui), "/home/ann/Sider/Min/ab");
    EXPECT_EQ(ui.Calls().size(), 0u) << "site files never warn";

    // Templates warn once per path that is not below their folder, both ways.
    const std::string tmpl = "/usr/share/pagewright/Templates/Firma.PWS";
    ui.ExpectMessage("Not relative path for /home/ann/x.png", EAnswer::Ok);
    EXPECT_EQ(pp::ToStored("/home/ann/x.png", tmpl, true, &ui), "/home/ann/x.png");
    ui.ExpectMessage("Not relative path for C:\\x.png", EAnswer::Ok);
    EXPECT_EQ(pp::FromStored("C:\\x.png", tmpl, &ui), "C:\\x.png");
    EXPECT_EQ(pp::ToStored("/usr/share/pagewright/Templates/t/a.jpg", tmpl, true, &ui), "t/a.jpg");
    EXPECT_TRUE(ui.Verify());

    // A fill written into one site folder and read from another finds its
    // picture next to the new site file.
    CObjectFill fill;
    fill.SetImagePath("/home/ann/Sider/Min/billeder/a.png");
    CByteWriter writer;
    fill.Save(writer, pp::StoreMapping(site, false, &ui));
    std::vector<uint8_t> bytes = writer.Take();
    CObjectFill moved;
    CByteReader reader(std::span<const uint8_t>(bytes), CStreamVersion{1, 8});
    moved.Load(reader, CStreamVersion{1, 8}, pp::LoadMapping("/mnt/usb/Min/site.pwu", &ui));
    EXPECT_EQ(moved.GetImagePath(), "/mnt/usb/Min/billeder/a.png");
}
