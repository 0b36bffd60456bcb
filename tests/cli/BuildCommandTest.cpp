// "pagewright build": a real site file built into a folder, and the clear
// failures of the command.
#include "cli/CommandLine.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "render/Rendering.h"
#include "services/ByteWriter.h"
#include "tests/cli/CliTestSupport.h"
#include "tests/support/TempDir.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {


const std::string kTemplate =
    std::string(PW_SOURCE_DIR) + "/resources/Templates/Foreninger/klub.pws";

} // namespace

TEST(BuildCommand, BuildsTheSiteIntoTheFolderAndTellsEachStep) {
    pwtest::TempDir dir;
    const fs::path out = dir / "nested" / "site";
    const CRun run = RunCli({"build", kTemplate, out.string()});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(fs::exists(out / "default.htm"));
    EXPECT_TRUE(fs::exists(out / "My_Homepage_Files" / "error.html"));
    EXPECT_TRUE(fs::exists(out / "My_Homepage_Files" / "IMG_0.jpg"));
    EXPECT_NE(run.out.find("Opbygger Data: Side2"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("default.htm"), std::string::npos);

    const CRun preview = RunCli({"build", "--preview", kTemplate, (dir / "preview").string()});
    EXPECT_EQ(preview.status, kExitOk) << preview.err;
}

TEST(BuildCommand, FailuresExitWithAMessage) {
    pwtest::TempDir dir;
    const CRun missing =
        RunCli({"build", (dir / "none.pwu").string(), (dir / "out").string()});
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;

    std::ofstream(dir / "file") << "x";
    const CRun blocked = RunCli({"build", kTemplate, (dir / "file" / "out").string()});
    EXPECT_EQ(blocked.status, kExitFailure);
    EXPECT_NE(blocked.err.find("Kunne ikke skabe"), std::string::npos) << blocked.err;
}

TEST(BuildCommand, DownloadLinksPointIntoTheDownloadFolderAndMissingFilesStopTheBuild) {
    pwtest::TempDir dir;
    std::ofstream(dir / "Prisliste.pdf") << "%PDF";
    const auto save = [&](const std::string& document, const fs::path& file) {
        CSite site("Test", CBackgroundFill(), 640, 480, CColor(0, 0, 255), CColor(128, 0, 128));
        CPage& page = site.AddPage(std::make_unique<CPage>(site, "Forside", "Forside"));
        site.SetFrontPage(page);
        auto rect = std::make_unique<CRectObject>(DPOINT{50, 50}, CObjectSize{40, 30});
        auto link = std::make_unique<CObjectLink>();
        link->type = CObjectLink::typeDocument;
        link->enabled = true;
        link->document = document;
        rect->SetLink(std::move(link));
        page.InsertItem(std::move(rect));
        CByteWriter writer;
        ASSERT_TRUE(SaveSite(site, writer));
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(writer.Data().data()),
                   static_cast<std::streamsize>(writer.Data().size()));
    };
    save((dir / "Prisliste.pdf").string(), dir / "good.pwu");
    const CRun good = RunCli({"build", (dir / "good.pwu").string(), (dir / "out").string()});
    ASSERT_EQ(good.status, kExitOk) << good.err;
    std::ifstream page(dir / "out" / "default.htm");
    const std::string html{std::istreambuf_iterator<char>(page), {}};
    EXPECT_NE(html.find("HREF=\"My_Homepage_Files/Download/Prisliste.pdf\""), std::string::npos);
    // A linked shape without words for a screen reader is the one thing the
    // accessibility report has to say.
    EXPECT_NE(good.out.find("Tilgængelighed: 1 fund\n  Side Forside, objekt 1: billedet har "
                            "ingen alternativ tekst\n"),
              std::string::npos)
        << good.out;

    save((dir / "Mangler.pdf").string(), dir / "bad.pwu");
    const CRun bad = RunCli({"build", (dir / "bad.pwu").string(), (dir / "out2").string()});
    EXPECT_EQ(bad.status, kExitFailure);
    EXPECT_NE(bad.err.find("Mangler.pdf"), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(dir / "out2"));
}
