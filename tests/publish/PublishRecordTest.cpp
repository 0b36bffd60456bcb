#include "publish/PublishRecord.h"
#include "model/Page.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::unique_ptr<CSite> MakeSite(const std::string& path, int pages) {
    auto site = std::make_unique<CSite>("Test", CBackgroundFill(), 640, 480, CColor(0, 0, 255),
                                        CColor(128, 0, 128));
    site->path = path;
    for (int i = 0; i < pages; ++i)
        site->AddPage(std::make_unique<CPage>(*site, "Side" + std::to_string(i + 1), "Side"));
    return site;
}

std::vector<uint8_t> Int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)};
}

std::vector<uint8_t> ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const fs::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<int> PendingFlags(const CSite& site) {
    std::vector<int> out;
    for (int i = 0; i < site.PageCount(); ++i)
        if (site.PageAt(i).PublishPending()) out.push_back(i);
    return out;
}

} // namespace

TEST(PublishRecord, FileHasTheExactLayoutAndReadsBack) {
    pwtest::TempDir dir;
    const fs::path file = dir / "sub" / "ftpfile.dat"; // the folder is made on demand
    CPublishRecord record;
    record.sitePath = "/home/anna/Min side.pwu";
    record.pendingPages = {0, 3, 7};
    ASSERT_TRUE(record.Write(file));

    const std::string& p = record.sitePath;
    const auto expected =
        Concat({Int32(static_cast<int32_t>(p.size())), std::vector<uint8_t>(p.begin(), p.end()),
                Int32(3), Int32(0), Int32(3), Int32(7)});
    EXPECT_EQ(ReadAll(file), expected);
    EXPECT_FALSE(fs::exists(fs::path(file) += ".tmp"));

    CPublishRecord back;
    back.matches = true;
    ASSERT_TRUE(back.Read(file));
    EXPECT_EQ(back.sitePath, record.sitePath);
    EXPECT_EQ(back.pendingPages, record.pendingPages);
    EXPECT_FALSE(back.matches);
    EXPECT_EQ(CPublishRecord::DefaultFile().filename(), "ftpfile.dat");
}

TEST(PublishRecord, DamagedFilesLeaveTheRecordEmpty) {
    pwtest::TempDir dir;
    const fs::path file = dir / "ftpfile.dat";
    const std::vector<uint8_t> path2048(2048, 'a');
    const std::vector<std::vector<uint8_t>> bad = {
        {},                                                               // empty
        Concat({Int32(-1), Int32(0)}),                                    // negative length
        Concat({Int32(2049), std::vector<uint8_t>(2049, 'a'), Int32(0)}), // too long
        Concat({Int32(5), {'a', 'b'}}),                                   // path cut short
        Concat({Int32(1), {'a'}}),                                        // no count
        Concat({Int32(1), {'a'}, Int32(2), Int32(1)}),                    // one position missing
        Concat({Int32(1), {'a'}, Int32(-1)}),                             // negative count
        Concat({Int32(1), {'a'}, Int32(0x7FFFFFFF), Int32(1)}),           // absurd count
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        WriteAll(file, bad[i]);
        CPublishRecord record;
        record.sitePath = "old";
        record.pendingPages = {1};
        EXPECT_FALSE(record.Read(file)) << i;
        EXPECT_TRUE(record.sitePath.empty()) << i;
        EXPECT_TRUE(record.pendingPages.empty()) << i;
    }
    // The longest path allowed still reads.
    WriteAll(file, Concat({Int32(2048), path2048, Int32(0)}));
    CPublishRecord longest;
    EXPECT_TRUE(longest.Read(file));
    EXPECT_EQ(longest.sitePath.size(), 2048u);
    CPublishRecord missing;
    EXPECT_FALSE(missing.Read(dir / "none.dat"));
}

TEST(PublishRecord, OpeningASiteMarksItsPendingPages) {
    auto site = MakeSite("/sites/a.pwu", 5);
    CPublishRecord record;
    record.sitePath = "/sites/a.pwu";
    record.pendingPages = {1, 4};
    record.ApplyTo(*site);
    EXPECT_TRUE(record.matches);
    EXPECT_EQ(PendingFlags(*site), (std::vector<int>{1, 4}));

    // Another file: nothing is known about the server, every page is pending.
    auto other = MakeSite("/sites/b.pwu", 3);
    CPublishRecord fresh = record;
    fresh.ApplyTo(*other);
    EXPECT_FALSE(fresh.matches);
    EXPECT_EQ(PendingFlags(*other), (std::vector<int>{0, 1, 2}));

    // A list that no longer fits the site (a position past the last page)
    // sends everything rather than indexing past the pages.
    auto shrunk = MakeSite("/sites/a.pwu", 3);
    CPublishRecord stale = record;
    stale.ApplyTo(*shrunk);
    EXPECT_TRUE(stale.matches);
    EXPECT_EQ(PendingFlags(*shrunk), (std::vector<int>{0, 1, 2}));

    // A never-saved site never matches an empty record.
    auto untitled = MakeSite("", 2);
    CPublishRecord empty;
    empty.ApplyTo(*untitled);
    EXPECT_FALSE(empty.matches);
    EXPECT_EQ(PendingFlags(*untitled), (std::vector<int>{0, 1}));
}

TEST(PublishRecord, SavingWritesOnlyWhileTheSiteMatches) {
    pwtest::TempDir dir;
    const fs::path file = dir / "ftpfile.dat";
    auto site = MakeSite("/sites/a.pwu", 4);
    CPublishRecord record;
    record.ApplyTo(*site);
    ASSERT_FALSE(record.matches);
    EXPECT_TRUE(record.Save(*site, file));
    EXPECT_FALSE(fs::exists(file));

    record.MarkPublished(*site);
    EXPECT_TRUE(PendingFlags(*site).empty());
    site->PageAt(2).SetPublishPending(true);
    ASSERT_TRUE(record.Save(*site, file));
    CPublishRecord back;
    ASSERT_TRUE(back.Read(file));
    EXPECT_EQ(back.sitePath, "/sites/a.pwu");
    EXPECT_EQ(back.pendingPages, (std::vector<int32_t>{2}));

    // Reopening the same file in a later run picks the pending page up.
    auto reopened = MakeSite("/sites/a.pwu", 4);
    back.ApplyTo(*reopened);
    EXPECT_EQ(PendingFlags(*reopened), (std::vector<int>{2}));

    record.Forget();
    EXPECT_FALSE(record.matches);
    EXPECT_TRUE(record.sitePath.empty());
}
