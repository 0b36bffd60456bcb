#include "publish/PublishManifest.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

} // namespace

// The manifest round-trips, belongs to one destination only, and anything
// damaged reads as "nothing known" (so everything is sent again).
TEST(PublishManifest, RoundTripsAndDistrustsAnythingElse) {
    pwtest::TempDir dir;
    const std::string key =
        CPublishManifest::DestinationKey("ftp", " example.org ", 21, "anna", "\\www//site/");
    EXPECT_EQ(key, "ftp://anna@example.org:21/www/site");
    EXPECT_EQ(key, CPublishManifest::DestinationKey("ftp", "example.org", 21, "anna", "www/site"));
    EXPECT_NE(key, CPublishManifest::DestinationKey("ftp", "example.org", 2121, "anna", "www/site"));

    Write(dir / "a b#.bin", "hello");
    const auto hashed = pw::HashFile(dir / "a b#.bin");
    ASSERT_TRUE(hashed);
    // Independently known: sha256("hello").
    EXPECT_EQ(hashed->sha256, "2cf24dba5fb0a30e26e83b2ac5b9e29e1b161e5c1fa7425e73043362938b9824");
    EXPECT_EQ(hashed->size, 5u);
    EXPECT_FALSE(pw::HashFile(dir / "missing"));

    CPublishManifest manifest;
    manifest.files["default.htm"] = *hashed;
    manifest.files["My_Homepage_Files/Download/a b#.bin"] = {7, std::string(64, 'f')};
    const fs::path file = CPublishManifest::FileFor(dir / "manifests", key);
    ASSERT_TRUE(manifest.Write(file, key));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    CPublishManifest read;
    ASSERT_TRUE(read.Read(file, key));
    EXPECT_EQ(read.files, manifest.files);
    EXPECT_FALSE(read.Read(file, key + "/other"));
    EXPECT_TRUE(read.files.empty());

    const std::string head = "pagewright publish manifest 1\ndestination " + key + "\n";
    const std::string hash(64, '0');
    for (const std::string& damaged : std::vector<std::string>{
             std::string(), "pagewright publish manifest 2\n", head + hash + " 12\n",
          head + hash + " -1 x\n", head + "abc 12 x\n", head + hash + " 1x x\n",
          head + std::string(64, 'G') + " 1 x\n"}) {
        Write(file, damaged);
        CPublishManifest bad;
        bad.files["keep?"] = {};
        EXPECT_FALSE(bad.Read(file, key)) << damaged;
        EXPECT_TRUE(bad.files.empty()) << damaged;
    }
    EXPECT_FALSE(read.Read(dir / "missing.manifest", key));
}
