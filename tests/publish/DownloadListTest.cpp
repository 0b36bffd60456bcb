#include "model/CharStyle.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "publish/DownloadListBuilder.h"
#include "model/BackgroundFill.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

CObjectLink DownloadLink(const std::string& path) {
    CObjectLink link;
    link.type = CObjectLink::typeDocument;
    link.enabled = true;
    link.document = path;
    return link;
}

std::unique_ptr<CRectObject> LinkedRect(const std::string& path, bool enabled = true) {
    auto rect = std::make_unique<CRectObject>(DPOINT{50, 50}, CObjectSize{40, 40});
    auto link = std::make_unique<CObjectLink>(DownloadLink(path));
    link->enabled = enabled;
    rect->SetLink(std::move(link));
    return rect;
}

// A text whose characters link, run by run, to the given paths ("" = no link).
std::unique_ptr<CTextObject> LinkedText(const std::vector<std::string>& runs) {
    auto text = std::make_unique<CTextObject>(DPOINT{100, 100}, CObjectSize{300, 20});
    for (const std::string& path : runs) {
        CCharStyle style = DefaultCharStyle();
        if (!path.empty()) style.link = DownloadLink(path);
        for (char c : std::string("ab"))
            text->Layout().Append(static_cast<uint8_t>(c), style);
    }
    return text;
}

struct CSiteFixture {
    pwtest::TempDir dir;
    CSite site{"Test", CBackgroundFill(), 640, 480, CColor(0, 0, 255), CColor(128, 0, 128)};

    CSiteFixture() { site.path = (dir / "site.pwu").string(); }
    CPage& AddPage() {
        return site.AddPage(
            std::make_unique<CPage>(site, "Side" + std::to_string(site.PageCount() + 1), "Side"));
    }
    std::string MakeFile(const std::string& relative) {
        const fs::path file = dir / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << relative;
        return file.string();
    }
};

} // namespace

TEST(DownloadList, EqualFileNamesGetNumberedAndEqualPathsAreListedOnce) {
    CSiteFixture f;
    const std::string a = f.MakeFile("a/x.zip");
    const std::string b = f.MakeFile("b/x.zip");
    const std::string c = f.MakeFile("c/x0.zip");
    const std::string d = f.MakeFile("d/X.ZIP");
    const std::string e = f.MakeFile("e/readme");
    const std::string g = f.MakeFile("g/readme");
    CPage& one = f.AddPage();
    one.InsertItem(LinkedRect(a));
    one.InsertItem(LinkedRect(b));
    one.InsertItem(LinkedRect("/no/such/file.zip", false)); // disabled: not offered
    CPage& two = f.AddPage();
    two.InsertItem(LinkedRect(a)); // listed already
    two.InsertItem(LinkedRect(c));
    two.InsertItem(LinkedRect(d));
    two.InsertItem(LinkedRect(e));
    two.InsertItem(LinkedRect(g));

    DownloadList list{{"stale", "stale"}};
    ASSERT_FALSE(RebuildDownloadList(f.site, list).has_value());
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].sourcePath, a);
    EXPECT_EQ(list[0].fileName, "x.zip");
    EXPECT_EQ(list[1].sourcePath, b);
    EXPECT_EQ(list[1].fileName, "x0.zip");
    // x0.zip is taken by now, so the file really called x0.zip moves on.
    EXPECT_EQ(list[2].fileName, "x00.zip");
    EXPECT_EQ(list[3].fileName, "X1.ZIP");
    EXPECT_EQ(list[4].fileName, "readme");
    EXPECT_EQ(list[5].fileName, "readme0");
    // Looking up ignores case, as on the systems the site files come from.
    EXPECT_EQ(FindDownload(list, a.substr(0, a.size() - 5) + "X.ZIP"), &list[0]);
    EXPECT_EQ(FindDownload(list, "/elsewhere/x.zip"), nullptr);
}

TEST(DownloadList, TextCharactersOfferTheirLinksOnceAPage) {
    CSiteFixture f;
    const std::string a = f.MakeFile("docs/a.pdf");
    const std::string b = f.MakeFile("docs/b.pdf");
    CPage& page = f.AddPage();
    const std::string c = f.MakeFile("docs/c.pdf");
    // Runs a, a, (none), b, a: a is offered once, then b. HTML texts stack
    // above the shapes, so the rectangle's c comes first.
    page.InsertItem(LinkedText({a, a, "", b, a}));
    page.InsertItem(LinkedRect(c));
    EXPECT_EQ(PageDownloadPaths(page), (std::vector<std::string>{c, a, b}));

    DownloadList list;
    ASSERT_FALSE(RebuildDownloadList(f.site, list).has_value());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].fileName, "a.pdf");
    EXPECT_EQ(list[2].fileName, "b.pdf");

    // Advanced text is drawn as a picture: its characters link to nothing.
    auto advanced = LinkedText({a});
    advanced->SetAdvanced(true);
    CPage& other = f.AddPage();
    other.InsertItem(std::move(advanced));
    EXPECT_TRUE(PageDownloadPaths(other).empty());
}

TEST(DownloadList, MissingFileStopsWithItsPlaceAndRelativePathsLieBesideTheSite) {
    CSiteFixture f;
    f.MakeFile("files/here.txt");
    CPage& one = f.AddPage();
    one.InsertItem(LinkedRect("files\\here.txt")); // stored relative, other system's separator
    CPage& two = f.AddPage();
    two.InsertItem(LinkedRect(f.MakeFile("files/there.txt")));
    two.InsertItem(LinkedRect("C:\\Dokumenter\\gone.doc"));
    two.InsertItem(LinkedRect("/also/gone"));

    DownloadList list;
    const auto missing = RebuildDownloadList(f.site, list);
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->path, "C:\\Dokumenter\\gone.doc");
    EXPECT_EQ(missing->page, 1);
    EXPECT_EQ(missing->item, 1);
    EXPECT_EQ(DownloadSourceFile("files\\here.txt", f.site), f.dir / "files/here.txt");
    ASSERT_EQ(list.size(), 2u); // what came before the missing file
    EXPECT_EQ(list[0].fileName, "here.txt");
}
