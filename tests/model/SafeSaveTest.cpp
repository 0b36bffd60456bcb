#include "model/SafeSave.h"
#include "SiteFileTestSupport.h"
#include "model/SiteFile.h"
#include "services/ByteReader.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"
#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <regex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path().filename());
    return files;
}

TEST(SafeSave, ExtensionIsForced) {
    EXPECT_EQ(safe_save::ForceExtension("/a/test", ".pwu"), fs::path("/a/test.pwu"));
    EXPECT_EQ(safe_save::ForceExtension("/a/test.txt", ".pwu"), fs::path("/a/test.pwu"));
    EXPECT_EQ(safe_save::ForceExtension("/a/Test.PWU", ".pwu"), fs::path("/a/Test.PWU"));
    EXPECT_EQ(safe_save::ForceExtension("/a/x.pwu", ".pws"), fs::path("/a/x.pws"));
}

TEST(SafeSave, TemporaryFileExistsOnlyWhileSaving) {
    pwtest::TempDir dir;
    auto site = pwtest::MakeSiteForFiles(2, 3);
    site->MarkModified();
    const fs::path target = dir / "site.pwu";
    std::ofstream(target) << "old contents";

    std::vector<fs::path> seen;
    safe_save::BeforeRenameHook() = [&](const fs::path& temporary) {
        seen = FilesIn(dir.Path());
        EXPECT_EQ(temporary.parent_path(), dir.Path());
        EXPECT_TRUE(
            std::regex_match(temporary.filename().string(), std::regex("[A-Za-z]{20}\\.pwu")));
        EXPECT_EQ(ReadAll(target), std::vector<uint8_t>({'o', 'l', 'd', ' ', 'c', 'o', 'n', 't',
                                                         'e', 'n', 't', 's'}));
    };
    pwtest::CScriptedInteraction ui;
    fs::path path = target;
    EXPECT_TRUE(SafeSave(*site, path, ui));
    safe_save::BeforeRenameHook() = nullptr;

    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<fs::path>{"site.pwu"});
    EXPECT_TRUE(site->IsSaved());
    EXPECT_EQ(site->path, target.string());
    EXPECT_TRUE(LoadSiteFile(target));
}

TEST(SafeSave, FailedSaveOffersAnotherNameAndKeepsNothingHalfWritten) {
    pwtest::TempDir dir;
    auto site = pwtest::MakeSiteForFiles(1, 2);
    site->MarkModified();
    fs::path path = dir / "missing-folder" / "site.pwu";

    pwtest::CScriptedInteraction ui;
    ui.ExpectMessage(safe_save::kFailId, EAnswer::Ok).ExpectFile(dir / "other.txt");
    EXPECT_TRUE(SafeSave(*site, path, ui));
    EXPECT_TRUE(ui.Verify());
    EXPECT_EQ(path, dir / "other.pwu");
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<fs::path>{"other.pwu"});

    site->MarkModified();
    fs::path bad = dir / "missing-folder" / "site.pwu";
    pwtest::CScriptedInteraction cancelling;
    cancelling.ExpectMessage(safe_save::kFailId, EAnswer::Ok).ExpectFile({});
    EXPECT_FALSE(SafeSave(*site, bad, cancelling));
    EXPECT_TRUE(cancelling.Verify());
    EXPECT_FALSE(site->IsSaved());
}

// A child process saves two contents in turn and is killed at a random
// moment: the path must always hold one of them, complete.
TEST(SafeSave, KillingTheWriterLeavesTheOldOrTheNewFile) {
    pwtest::TempDir dir;
    auto site = pwtest::MakeSiteForFiles(60, 20);
    const std::string keywords[2] = {"en", "to"};
    std::vector<uint8_t> contents[2];
    for (int i = 0; i < 2; ++i) {
        site->keywords = keywords[i];
        CByteWriter writer;
        ASSERT_TRUE(SaveSite(*site, writer));
        contents[i] = writer.Take();
    }
    const fs::path target = dir / "site.pwu";
    ASSERT_TRUE(safe_save::ReplaceFile(target, contents[0]));

    std::mt19937 random(12345);
    for (int round = 0; round < 12; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            pwtest::CScriptedInteraction ui;
            for (int i = 1;; ++i) {
                site->keywords = keywords[i % 2];
                fs::path path = target;
                if (!SafeSave(*site, path, ui)) _exit(1);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 150000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::vector<uint8_t> now = ReadAll(target);
        ASSERT_TRUE(now == contents[0] || now == contents[1]) << "round " << round;
        CByteReader reader{std::span<const uint8_t>(now)};
        ASSERT_TRUE(LoadSite(reader, target.string()));
    }
}

} // namespace
