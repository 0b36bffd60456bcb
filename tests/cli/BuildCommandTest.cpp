// "pagewright build": a real site file built into a folder, and the clear
// failures of the command.
#include "cli/CommandLine.h"
#include "render/Rendering.h"
#include "tests/support/TempDir.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct CRun {
    int status = -1;
    std::string out, err;
};

CRun RunBuildCli(const std::vector<std::string>& args) {
    static const bool installed = [] {
        InstallRendering(nullptr);
        return true;
    }();
    (void)installed;
    std::ostringstream out, err;
    CRun run;
    run.status = RunCommandLine(args, out, err, Commands());
    run.out = out.str();
    run.err = err.str();
    return run;
}

const std::string kTemplate =
    std::string(PW_SOURCE_DIR) + "/resources/Templates/Foreninger/klub.pws";

} // namespace

TEST(BuildCommand, BuildsTheSiteIntoTheFolderAndTellsEachStep) {
    pwtest::TempDir dir;
    const fs::path out = dir / "nested" / "site";
    const CRun run = RunBuildCli({"build", kTemplate, out.string()});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(fs::exists(out / "default.htm"));
    EXPECT_TRUE(fs::exists(out / "My_Homepage_Files" / "error.html"));
    EXPECT_TRUE(fs::exists(out / "My_Homepage_Files" / "IMG_0.jpg"));
    EXPECT_NE(run.out.find("Opbygger Data: Side2"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("default.htm"), std::string::npos);

    const CRun preview = RunBuildCli({"build", "--preview", kTemplate, (dir / "preview").string()});
    EXPECT_EQ(preview.status, kExitOk) << preview.err;
}

TEST(BuildCommand, FailuresExitWithAMessage) {
    pwtest::TempDir dir;
    const CRun missing =
        RunBuildCli({"build", (dir / "none.pwu").string(), (dir / "out").string()});
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;

    std::ofstream(dir / "file") << "x";
    const CRun blocked = RunBuildCli({"build", kTemplate, (dir / "file" / "out").string()});
    EXPECT_EQ(blocked.status, kExitFailure);
    EXPECT_NE(blocked.err.find("Kunne ikke skabe"), std::string::npos) << blocked.err;
}
