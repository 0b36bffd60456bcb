// Random edits through the public page operations, then save, load and save
// again: a site that saves must open, and must open as what was saved.
#include "OldSiteWriter.h"
#include "UndoTestSupport.h"
#include "image/Image.h"
#include "model/ObjectEdits.h"
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
// turned groups, alternative texts and links, and site-wide values at the
// edges of their records. Values beyond a record are refused where they
// enter, with a message, and leave the object as it was.
void ExtraEdit(CCommandDriver& driver, CSite& site, CPage& page, bool textLinks) {
    switch (driver.Int(0, 5)) {
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
    case 1: {
        const bool grouped = std::any_of(page.Sets().begin(), page.Sets().end(),
                                         [](const auto& set) { return set->IsGroup(); });
        if (!grouped && page.ItemCount() >= 2) {
            page.DeselectAll();
            page.AddToSelection(page.ItemAt(0));
            page.AddToSelection(page.ItemAt(page.ItemCount() - 1));
            GroupOrUngroup(page);
        }
        for (const auto& set : page.Sets())
            if (set->IsGroup() && set->CanRotate()) set->SetAngle(driver.Int(-314, 314) / 100.0);
        break;
    }
    case 2:
    case 3: {
        CPageItem* item = driver.AnyItem();
        if (!item) break;
        const std::size_t length = driver.Chance(70) ? 7 : kMaxStringLength + driver.Int(-4, 1);
        const bool asLink = driver.Chance(50);
        const std::string value = (asLink ? "www." : "") + std::string(length, 'a');
        page.SelectOnly(*item); // the inspector edits the first item of the selection
        CPageObject* inspected = InspectedObject(page);
        if (!inspected) break;
        CPageObject& object = *inspected;
        const std::string* alt = object.GetAltText();
        const std::string altBefore = alt ? *alt : std::string();
        CFailure failure;
        bool applied = false;
        const bool textLink = object.GetKind() == KIND_TEXT;
        if (asLink && object.GetLink() && CanInspect(page, EInspectorNeed::Link) &&
            (textLinks || !textLink)) {
            applied = EditLink(
                page,
                [&](CObjectLink& link) {
                    link.enabled = true;
                    link.type = CObjectLink::typeUrl;
                    link.url = value;
                },
                &failure);
        } else if (!asLink && alt) {
            applied = EditAltText(page, value, &failure);
        } else {
            break;
        }
        if (value.size() > static_cast<std::size_t>(kMaxStringLength)) {
            EXPECT_FALSE(applied);
            EXPECT_EQ(failure.Code(), EFailure::Invalid);
            EXPECT_NE(failure.Detail().find("2048"), std::string::npos) << failure.Detail();
            if (alt) {
                EXPECT_EQ(*object.GetAltText(), altBefore);
            }
        }
        break;
    }
    case 4:
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

// A random site: the page commands, and a quarter of the time an extra edit.
// The older-version writer below does not rewrite character styles, so sites
// for older files keep links off texts (a plain text keeps its link in them).
struct CRandomSite {
    CUndoPage fixture;
    explicit CRandomSite(unsigned seed, bool textLinks = true) {
        CPage& page = fixture.Page();
        fixture.site.SetFrontPage(page);
        CCommandDriver driver(page, seed);
        const int edits = driver.Int(1, 12);
        for (int k = 0; k < edits; ++k) {
            if (driver.Chance(25))
                ExtraEdit(driver, fixture.site, page, textLinks);
            else
                driver.AnyCommand();
        }
    }
};

std::string FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
           ", first difference at byte " + std::to_string(at);
}

} // namespace

TEST(SiteFileProperty, RandomEditsSaveLoadAndSaveAgainIdentically) {
    for (unsigned seed = 1; seed <= 2000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CRandomSite random(seed);
        const std::vector<uint8_t> first = Save(random.fixture.site);
        std::string error;
        std::unique_ptr<CSite> loaded = Load(first, error);
        ASSERT_TRUE(loaded) << error;
        const std::vector<uint8_t> second = Save(*loaded);
        ASSERT_TRUE(second == first) << FirstDifference(first, second);
    }
}

// Files of every older version, written from random sites: each opens, holds
// what its version can hold (written again in its own layout it gives the
// same bytes), and saves as a current file that opens as the same site.
TEST(SiteFileProperty, OlderVersionsOpenAsWhatTheyHold) {
    for (int version = 1; version <= 8; ++version) {
        for (unsigned seed = 1; seed <= 60; ++seed) {
            SCOPED_TRACE("version " + std::to_string(version) + ", seed " + std::to_string(seed));
            CRandomSite random(seed + 5000, false);
            std::vector<uint8_t> old = pwold::OldSite(random.fixture.site, version);
            std::string error;
            std::unique_ptr<CSite> loaded = Load(old, error);
            ASSERT_TRUE(loaded) << error;
            if (version == 2 || version == 3) {
                // These versions hold no drawing flag for texts (reading
                // derives it) and version 3 kept the top band anywhere
                // (reading sorts it): the first reading settles both, and
                // from then on the file holds.
                old = pwold::OldSite(*loaded, version);
                loaded = Load(old, error);
                ASSERT_TRUE(loaded) << error;
            }
            // Before version 6 the synchronisation byte means nothing.
            for (const auto& item : loaded->PageAt(0).Items())
                ASSERT_TRUE(version >= 6 || item->SyncTwins());
            const std::vector<uint8_t> again = pwold::OldSite(*loaded, version);
            ASSERT_TRUE(again == old) << FirstDifference(old, again);
            const std::vector<uint8_t> current = Save(*loaded);
            std::unique_ptr<CSite> reopened = Load(current, error);
            ASSERT_TRUE(reopened) << error;
            ASSERT_TRUE(Save(*reopened) == current);
        }
    }
}
