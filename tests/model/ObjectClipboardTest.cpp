// Cut, copy, paste and dropped files, on the page side: the byte layout, the
// pasted selection and its one undo step, links across sites, where pictures
// land.
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "model/EllipseObject.h"
#include "model/Grouping.h"
#include "model/ObjectFill.h"
#include "model/ObjectClipboard.h"
#include "model/ObjectLink.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/UndoHistory.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/IO.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>

using namespace pw::clipboard;

namespace {
struct CTwoPages {
    CSite site{"Test", CBackgroundFill(), 640, 480, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage& from = AddPage("Side1");
    CPage& to = AddPage("Side2");

    CPage& AddPage(const char* id) {
        CPage& page = site.AddPage(std::make_unique<CPage>(site, id, id));
        page.SetHistory(std::make_unique<CUndoHistory>(page, CPage::kUndoSteps));
        return page;
    }
    CPageItem& Rect(CPage& page, double x, double y, int linkPage = -1) {
        auto rect = std::make_unique<CRectObject>(DPOINT{x, y}, CObjectSize{20, 10});
        if (linkPage >= 0) {
            auto link = std::make_unique<CObjectLink>();
            link->type = CObjectLink::typePage;
            link->enabled = true;
            link->page = linkPage;
            rect->SetLink(std::move(link));
        }
        return page.InsertItem(std::move(rect));
    }
};

std::vector<uint8_t> ItemBytes(const CPageItem& item) {
    CByteWriter writer;
    SaveItem(item, writer);
    return writer.Data();
}

// Set count, item count and each item's set index, as the data lists them.
std::vector<int32_t> Outline(const std::vector<uint8_t>& data) {
    CByteReader reader(std::span<const uint8_t>(data), kCurrentStreamVersion);
    const int32_t sets = reader.ReadInt32(), items = reader.ReadInt32();
    std::vector<int32_t> out{sets, items};
    for (int32_t i = 0; i < sets; ++i)
        LoadObjectSet(reader);
    for (int32_t i = 0; i < items; ++i) {
        out.push_back(reader.ReadInt32());
        EXPECT_TRUE(LoadItem(reader, kCurrentStreamVersion));
    }
    EXPECT_TRUE(reader.AtEnd());
    return out;
}
} // namespace

TEST(ObjectClipboard, CopiedSelectionsListTheirSetsAndItems) {
    CTwoPages f;
    CPageItem& a = f.Rect(f.from, 20, 20);
    CPageItem& b = f.Rect(f.from, 60, 20);
    CPageItem& c = f.Rect(f.from, 100, 20);
    EXPECT_TRUE(CopyObjects(f.from).empty()) << "nothing selected";
    f.from.SelectOnly(a);
    f.from.AddToSelection(b);
    f.from.AddToSelection(c);
    EXPECT_EQ(Outline(CopyObjects(f.from)), (std::vector<int32_t>{1, 3, 0, 0, 0}));
    // A group and a loose object: two set records.
    f.from.SelectOnly(a);
    f.from.AddToSelection(b);
    ASSERT_EQ(GroupOrUngroup(f.from), true);
    f.from.AddToSelection(c);
    EXPECT_EQ(Outline(CopyObjects(f.from)), (std::vector<int32_t>{2, 3, 0, 0, 1}));
}

TEST(ObjectClipboard, PasteAddsTheSelectionWithOneUndoStepAndKeepsTheObjects) {
    CTwoPages f;
    CPageItem& a = f.Rect(f.from, 20, 20);
    CPageItem& b = f.Rect(f.from, 60, 20);
    f.from.SelectOnly(a);
    f.from.AddToSelection(b);
    ASSERT_EQ(GroupOrUngroup(f.from), true);
    const std::vector<uint8_t> data = CopyObjects(f.from);

    CPageItem& old = f.Rect(f.to, 300, 300);
    f.to.SelectOnly(old);
    auto& history = static_cast<CUndoHistory&>(f.to.History());
    const int steps = history.UndoCount();
    EXPECT_EQ(PasteObjects(f.to, data, false, CRect{0, 0, 640, 480}), 2);
    EXPECT_EQ(history.UndoCount(), steps + 1);
    ASSERT_EQ(f.to.ItemCount(), 3);
    ASSERT_NE(f.to.SingleSelectedSet(), nullptr);
    EXPECT_TRUE(f.to.SingleSelectedSet()->IsGroup());
    EXPECT_FALSE(old.IsSelected());
    EXPECT_EQ(ItemBytes(f.to.ItemAt(1)), ItemBytes(a));
    EXPECT_EQ(ItemBytes(f.to.ItemAt(2)), ItemBytes(b));
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(f.to.ItemCount(), 1);
}

TEST(ObjectClipboard, PageLinksAreResetFromAnotherSiteAndKeptWithinThisOne) {
    struct Case {
        bool foreign;
        int linkedPage;
        bool enabled;
        int page;
    };
    for (const Case& c : {Case{false, 1, true, 1}, Case{false, 7, true, 1}, Case{true, 1, false, 0}}) {
        SCOPED_TRACE(c.linkedPage);
        CTwoPages f;
        f.from.SelectOnly(f.Rect(f.from, 20, 20, c.linkedPage));
        ASSERT_EQ(PasteObjects(f.to, CopyObjects(f.from), c.foreign, CRect{0, 0, 640, 480}), 1);
        const CObjectLink* link = f.to.ItemAt(0).Current().GetLink();
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->enabled, c.enabled);
        EXPECT_EQ(link->page, c.page);
    }
}

TEST(ObjectClipboard, PastedSetsOutOfSightComeToTheMiddleOfTheVisibleArea) {
    CTwoPages f;
    f.from.SelectOnly(f.Rect(f.from, 600, 450));
    const std::vector<uint8_t> data = CopyObjects(f.from);
    ASSERT_EQ(PasteObjects(f.to, data, false, CRect{0, 0, 200, 100}), 1);
    EXPECT_EQ(f.to.ItemAt(0).GetRect(), (CRect{90, 45, 110, 55}));
    // In sight: it stays where it was copied from.
    ASSERT_EQ(PasteObjects(f.to, data, false, CRect{0, 0, 640, 480}), 1);
    EXPECT_EQ(f.to.ItemAt(1).GetRect(), (CRect{590, 445, 610, 455}));
}

TEST(ObjectClipboard, DamagedDataEndsThePasteAndKeepsWhatWasRead) {
    CTwoPages f;
    f.from.SelectOnly(f.Rect(f.from, 20, 20));
    f.from.AddToSelection(f.Rect(f.from, 60, 20));
    std::vector<uint8_t> data = CopyObjects(f.from);
    data.resize(data.size() - 5);
    CFailure failure;
    EXPECT_EQ(PasteObjects(f.to, data, false, CRect{0, 0, 640, 480}, &failure), 1);
    EXPECT_EQ(failure.Code(), EFailure::FileFormat);
    EXPECT_EQ(f.to.ItemCount(), 1);
    EXPECT_EQ(PasteObjects(f.to, {1, 2, 3}, false, CRect{0, 0, 640, 480}, &failure), 0);
    EXPECT_EQ(f.to.ItemCount(), 1);
}

TEST(ObjectClipboard, BackgroundGoesOverWithAnUndoStepAndTheNewPageSize) {
    CTwoPages f;
    f.from.SetBackground(std::make_unique<CBackgroundFill>(CColor(10, 200, 30)));
    f.to.SetWidth(300);
    const std::vector<uint8_t> data = CopyBackground(f.from);
    ASSERT_TRUE(PasteBackground(f.to, data));
    EXPECT_EQ(f.to.Background().GetColour(), CColor(10, 200, 30));
    EXPECT_EQ(f.to.Background().GetWidth(), 300);
    ASSERT_TRUE(f.to.History().Undo());
    EXPECT_EQ(f.to.Background().GetColour(), CColor(255, 255, 255));
    CFailure failure;
    EXPECT_FALSE(PasteBackground(f.to, {9, 9}, &failure));
    EXPECT_TRUE(failure.Failed());
}

TEST(ObjectClipboard, PicturesLandOnWholePixelsAndShowOverWhite) {
    CTwoPages f;
    auto picture = std::make_unique<CImage>(IMAGE_RGB8, 101, 50, 96.0);
    CPageItem* item = PastePicture(f.to, std::move(picture), CRect{0, 0, 400, 300});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Current().GetCenter().x, 200.5);
    EXPECT_EQ(item->Current().GetCenter().y, 150.0);
    EXPECT_EQ(item->GetRect(), (CRect{150, 125, 251, 175}));
    EXPECT_TRUE(item->IsSelected());

    // An ellipse's rim is partly transparent: there each sample becomes
    // 255 - (255 - c) * a / 255, what the item shows on a white page.
    auto ellipse = std::make_unique<CEllipseObject>(DPOINT{40, 40}, CObjectSize{21, 15});
    auto fill = std::make_unique<CObjectFill>(*ellipse->GetFill());
    fill->SetColour(CColor(200, 0, 60));
    ellipse->SetFill(std::move(fill));
    CPageItem& round = f.to.InsertItem(std::move(ellipse));
    std::unique_ptr<CImage> over = PictureOverWhite(round, f.to);
    ASSERT_NE(over, nullptr);
    const CImage* cached = round.Current().GetImage();
    ASSERT_EQ(over->Width(), cached->Width());
    int partial = 0;
    for (int y = 0; y < cached->Height(); ++y)
        for (int x = 0; x < cached->Width(); ++x) {
            const uint8_t* s = cached->Bits() + y * cached->RowBytes() + 4 * x;
            const uint8_t* d = over->Bits() + y * over->RowBytes() + 3 * x;
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(d[k], 255 - (255 - s[1 + k]) * s[0] / 255) << x << "," << y;
            partial += s[0] > 0 && s[0] < 255;
        }
    EXPECT_GT(partial, 0);
}

TEST(ObjectClipboard, DroppedFilesBecomePicturesWithOneUndoStep) {
    CTwoPages f;
    pwtest::TempDir dir;
    CImage image(IMAGE_RGB8, 30, 21, 96.0);
    int format = FORMAT_PNG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(dir / "a.png", image, format, 100, error, {}));
    std::ofstream(dir / "notes.txt") << "not a picture";
    EXPECT_TRUE(IsPictureFile(dir / "a.png"));
    EXPECT_FALSE(IsPictureFile(dir / "notes.txt"));

    CPageItem& before = f.Rect(f.to, 300, 300);
    f.to.SelectOnly(before);
    const int steps = static_cast<CUndoHistory&>(f.to.History()).UndoCount();
    std::vector<std::filesystem::path> failed;
    EXPECT_EQ(DropPictureFiles(f.to, {dir / "notes.txt", dir / "a.png"}, DPOINT{100, 80},
                               [&](const std::filesystem::path& p, int) { failed.push_back(p); }),
              1);
    EXPECT_EQ(failed, (std::vector<std::filesystem::path>{dir / "notes.txt"}));
    ASSERT_EQ(f.to.ItemCount(), 2);
    EXPECT_EQ(f.to.ItemAt(1).GetRect(), (CRect{85, 70, 115, 91}));
    EXPECT_FALSE(before.IsSelected());
    EXPECT_EQ(static_cast<CUndoHistory&>(f.to.History()).UndoCount(), steps + 1);
    ASSERT_TRUE(f.to.History().Undo());
    EXPECT_EQ(f.to.ItemCount(), 1) << "undoing the drop leaves the items that were there";
}
