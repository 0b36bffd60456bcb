#include "tests/publish/PublishTestSupport.h"

using namespace publishtest;
using EResult = CPublisher::EResult;

TEST(ExportFlow, ExportHasTheStartPageUnderFourNamesAndTheDownloads) {
    CPublishFixture f;
    const fs::path target = f.dir / "export";
    f.settings.SetExportPath((f.dir / "remembered").string());
    f.ui.ExpectFolder({});
    EXPECT_EQ(f.publisher.Export(&f.Site()), EResult::Stopped);

    f.ui.ExpectFolder(target.string() + "/");
    ASSERT_EQ(f.publisher.Export(&f.Site()), EResult::Done);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(f.settings.GetExportPath(), target.string());
    const fs::path root = target / "My_Homepage_Export";
    const std::string front = ReadFileBytes(root / "default.htm");
    EXPECT_FALSE(front.empty());
    for (const char* name : {"default.html", "index.htm", "index.html"})
        EXPECT_EQ(ReadFileBytes(root / name), front) << name;
    EXPECT_EQ(ReadFileBytes(root / "My_Homepage_Files/Download/x.zip"), std::string(3000, 'A'));
    EXPECT_EQ(ReadFileBytes(root / "My_Homepage_Files/Download/x0.zip"), std::string(5000, 'B'));
    // Export pages link their downloads inside the Download folder.
    EXPECT_NE(ReadFileBytes(root / "My_Homepage_Files/Side2.html").find("Download/x0.zip"),
              std::string::npos);

    // A download that has gone stops before anything is built.
    fs::remove(f.zipB);
    const fs::path other = f.dir / "other";
    const CPageItem* shown = nullptr;
    f.env.showItem = [&](const CPage&, const CPageItem* item) { shown = item; };
    f.ui.ExpectMessage(IDD_MISSING_DOCUMENT, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Export(&f.Site(), other), EResult::Failed);
    EXPECT_EQ(shown, f.Site().PageAt(2).Items().front().get());
    EXPECT_FALSE(fs::exists(other / "My_Homepage_Export"));
    EXPECT_TRUE(f.ui.Verify());
}

// Previews build in a private folder of the user's (0700, made private when
// it was not), each in a new folder of its own; a link planted in an old
// preview is thrown away with it, its target untouched; a build folder that
// is itself a link is refused.
TEST(ExportFlow, PreviewBuildsInAPrivateFolderOfItsOwn) {
    CPublishFixture f;
    const fs::path buildFolder = f.dir / "tmp";
    fs::permissions(buildFolder, fs::perms(0755));
    ASSERT_EQ(f.publisher.Preview(&f.Site()), EResult::Done);
    ASSERT_EQ(f.ui.OpenedInBrowser().size(), 1u);
    EXPECT_EQ(f.ui.OpenedInBrowser()[0], f.Built() / "default.htm");
    EXPECT_TRUE(fs::exists(f.Built() / "My_Homepage_Files" / "Side1.html"));
    EXPECT_EQ(fs::status(buildFolder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(f.Built().parent_path().parent_path(), buildFolder);

    const fs::path first = f.Built();
    const std::string target = f.WriteFile("elsewhere/precious.html", "keep me");
    fs::remove(first / "My_Homepage_Files" / "Side1.html");
    fs::create_symlink(target, first / "My_Homepage_Files" / "Side1.html");
    ASSERT_EQ(f.publisher.Preview(&f.Site()), EResult::Done);
    EXPECT_NE(f.Built(), first);
    EXPECT_FALSE(fs::exists(first.parent_path()));
    EXPECT_EQ(ReadFileBytes(target), "keep me");
    EXPECT_FALSE(fs::is_symlink(f.Built() / "My_Homepage_Files" / "Side1.html"));
    EXPECT_EQ(f.publisher.Preview(nullptr), EResult::Stopped);

    f.env.buildFolder = f.dir / "link";
    fs::create_directory_symlink(f.dir / "elsewhere", f.env.buildFolder);
    f.ui.ExpectMessage(IDD_CANNOT_CREATE_FOLDER, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Preview(&f.Site()), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(Tree(f.dir / "elsewhere").size(), 1u); // nothing built through the link
}

// With every option for today's screens on, a preview has the sharp pictures
// but no WebP twins (a local preview gains nothing from smaller files and
// would wait for their encoding); an export has both.
TEST(ExportFlow, PreviewsLeaveOutTheWebpTwinsAnExportWrites) {
    CPublishFixture f;
    f.settings.SetBuildHiDpi(true);
    f.settings.SetBuildWebp(true);
    f.settings.SetBuildPhones(true);
    auto count = [](const fs::path& root, const std::string& ending) {
        int n = 0;
        for (const auto& [name, bytes] : Tree(root))
            n += name.size() > ending.size() &&
                 name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
        return n;
    };
    ASSERT_EQ(f.publisher.Preview(&f.Site()), EResult::Done);
    EXPECT_GT(count(f.Built(), "@2x.jpg"), 0);
    EXPECT_EQ(count(f.Built(), ".webp"), 0);
    ASSERT_EQ(f.publisher.Export(&f.Site(), f.dir / "export"), EResult::Done);
    EXPECT_GT(count(f.dir / "export", ".webp"), 0);
}

// Built pages say which code page they are in, a page's web name is text
// (never markup) in its title, and download links carry their names
// percent-encoded, so "report#1" does not stop at the '#'.
TEST(ExportFlow, PagesDeclareTheirCodePageAndEscapeTitlesAndDownloadNames) {
    CPublishFixture f;
    f.Site().PageAt(1).SetWebName("Om <b>os</b> & dem");
    const std::string report = f.WriteFile("c/report#1 a.pdf", "%PDF");
    auto& shape = buildtest::AddRect(f.Site().PageAt(1), {300, 300, 340, 340}, CColor(1, 1, 1));
    shape.SetLink(std::make_unique<CObjectLink>(CPublishFixture::Download(report)));
    ASSERT_EQ(f.publisher.Export(&f.Site(), f.dir / "export"), EResult::Done);
    const fs::path root = f.dir / "export" / "My_Homepage_Export";
    const std::string charset = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                                "charset=windows-1252\">";
    for (const char* page : {"default.htm", "My_Homepage_Files/Side1.html",
                             "My_Homepage_Files/error.html", "My_Homepage_Files/noscript.html"})
        EXPECT_NE(ReadFileBytes(root / page).find(charset), std::string::npos) << page;
    const std::string html = ReadFileBytes(root / "My_Homepage_Files/Side1.html");
    EXPECT_NE(html.find("<TITLE> Om &#60;b&#62;os&#60;/b&#62; &#38; dem </TITLE>"),
              std::string::npos);
    EXPECT_NE(html.find("Download/report%231%20a.pdf"), std::string::npos);
    EXPECT_TRUE(fs::exists(root / "My_Homepage_Files/Download/report#1 a.pdf"));
}

TEST(ExportFlow, AFolderThatCannotBeMadeIsReported) {
    CPublishFixture f;
    const std::string blocker = f.WriteFile("blocker", "a file, not a folder");
    f.ui.ExpectMessage(IDD_BUILD_ERROR, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Export(&f.Site(), fs::path(blocker) / "inside"), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_TRUE(f.ui.SawText("Kunne ikke skabe et midletidigt katalog"));
}
