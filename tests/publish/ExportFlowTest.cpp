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

TEST(ExportFlow, PreviewOpensTheFrontPageOfTheTemporaryBuild) {
    CPublishFixture f;
    ASSERT_EQ(f.publisher.Preview(&f.Site()), EResult::Done);
    ASSERT_EQ(f.ui.OpenedInBrowser().size(), 1u);
    EXPECT_EQ(f.ui.OpenedInBrowser()[0], f.Built() / "default.htm");
    EXPECT_TRUE(fs::exists(f.Built() / "My_Homepage_Files" / "Side1.html"));
    EXPECT_EQ(f.publisher.Preview(nullptr), EResult::Stopped);
}

TEST(ExportFlow, AFolderThatCannotBeMadeIsReported) {
    CPublishFixture f;
    const std::string blocker = f.WriteFile("blocker", "a file, not a folder");
    f.ui.ExpectMessage(IDD_BUILD_ERROR, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Export(&f.Site(), fs::path(blocker) / "inside"), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_TRUE(f.ui.SawText("Kunne ikke skabe et midletidigt katalog"));
}
