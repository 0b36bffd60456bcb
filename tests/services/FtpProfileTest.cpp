#include "services/FtpProfile.h"
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

CFtpProfile MakeProfile(std::string name) {
    CFtpProfile p;
    p.name = std::move(name);
    p.server = "ftp.example.org";
    p.user = "anna";
    p.password = "hemmelig";
    p.catalog = "www\\site";
    p.port = 2121;
    p.passive = true;
    p.proxyType = 2;
    p.proxyServer = "proxy.lan";
    p.proxyPort = 1080;
    p.proxyUser = "pu";
    p.proxyPassword = "pp";
    return p;
}

size_t TextLengths(const CFtpProfile& p) {
    return p.name.size() + p.server.size() + p.user.size() + p.password.size() + p.catalog.size() +
           p.proxyServer.size() + p.proxyUser.size() + p.proxyPassword.size();
}

void AppendText(std::vector<uint8_t>& out, const std::string& s) {
    out.push_back(static_cast<uint8_t>(s.size()));
    out.push_back(0);
    out.insert(out.end(), s.begin(), s.end());
}

} // namespace

TEST(FtpProfile, EncodesOneProfileWithTheExactLayout) {
    CFtpProfile p;
    p.name = "Hjem";
    p.server = "srv";
    p.user = "u";
    p.password = "";
    p.catalog = "a/b";
    p.port = 0x1234;
    p.passive = true;
    p.proxyType = 1;
    p.proxyServer = "px";
    p.proxyPort = 0x0438; // 1080
    p.proxyUser = "";
    p.proxyPassword = "æ"; // UTF-8, two bytes

    std::vector<uint8_t> expected = {0x01, 0x00};
    AppendText(expected, "Hjem");
    AppendText(expected, "srv");
    AppendText(expected, "u");
    AppendText(expected, "");
    AppendText(expected, "a/b");
    expected.insert(expected.end(), {0x34, 0x12, 0x01, 0x01, 0x00});
    AppendText(expected, "px");
    expected.insert(expected.end(), {0x38, 0x04});
    AppendText(expected, "");
    expected.insert(expected.end(), {0x02, 0x00, 0xC3, 0xA6});

    EXPECT_EQ(EncodeProfiles({p}), expected);
    EXPECT_EQ(DecodeProfiles(expected), std::vector<CFtpProfile>{p});
    EXPECT_EQ(EncodeProfiles({}), (std::vector<uint8_t>{0, 0}));
}

TEST(FtpProfile, RoundTripsAListAndSizesItByTheStringLengths) {
    std::vector<CFtpProfile> list = {MakeProfile("Arbejde"), MakeProfile("Hjemme"), CFtpProfile{}};
    list[1].passive = false;
    list[1].proxyType = 0;
    list[1].port = 65535;
    list[2].port = 0;

    const auto bytes = EncodeProfiles(list);
    size_t expectedSize = 2;
    for (const auto& p : list)
        expectedSize += 23 + TextLengths(p);
    EXPECT_EQ(bytes.size(), expectedSize);
    EXPECT_EQ(DecodeProfiles(bytes), list);
}

TEST(FtpProfile, UnreadableValuesGiveAnEmptyList) {
    const auto bytes = EncodeProfiles({MakeProfile("A"), MakeProfile("B")});
    // Every truncation, including one byte short and the empty value.
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_TRUE(DecodeProfiles(cut).empty()) << "length " << n;
    }
    // A count far beyond what the bytes can hold.
    EXPECT_TRUE(DecodeProfiles({0xFF, 0xFF, 0x00, 0x00}).empty());
    // A string length that runs past the end.
    std::vector<uint8_t> longName(40, 0);
    longName[0] = 1;
    longName[2] = longName[3] = 0xFF;
    EXPECT_TRUE(DecodeProfiles(longName).empty());

    // Bytes after the announced profiles do not spoil them.
    auto padded = bytes;
    padded.insert(padded.end(), {0xDE, 0xAD});
    EXPECT_EQ(DecodeProfiles(padded).size(), 2u);
}

TEST(FtpProfile, PassiveIsOnOnlyForOneAndOversizedFieldsAreHandled) {
    auto bytes = EncodeProfiles({CFtpProfile{}});
    const size_t passiveAt = 2 + 5 * 2 + 2;
    ASSERT_EQ(bytes[passiveAt], 0);
    bytes[passiveAt] = 2;
    EXPECT_FALSE(DecodeProfiles(bytes).at(0).passive);
    bytes[passiveAt] = 1;
    EXPECT_TRUE(DecodeProfiles(bytes).at(0).passive);

    // Numbers are 16-bit in the value: out-of-range ones are clamped, not wrapped.
    CFtpProfile p;
    p.port = 70000;
    p.proxyPort = -5;
    const auto decoded = DecodeProfiles(EncodeProfiles({p})).at(0);
    EXPECT_EQ(decoded.port, 65535);
    EXPECT_EQ(decoded.proxyPort, 0);

    // A text that cannot be stored with a 16-bit length is refused outright.
    p.password.assign(65536, 'x');
    EXPECT_THROW(EncodeProfiles({p}), std::length_error);
    p.password.assign(65535, 'x');
    EXPECT_EQ(DecodeProfiles(EncodeProfiles({p})).at(0).password.size(), 65535u);
}

TEST(FtpProfile, SaveOverwritesExactlyTheSameNameElseAppends) {
    std::vector<CFtpProfile> list = {MakeProfile("Hjem"), MakeProfile("Arbejde")};
    CFtpProfile changed = MakeProfile("Arbejde");
    changed.server = "ny.example.org";
    EXPECT_EQ(SaveProfile(list, changed), 1u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].server, "ny.example.org");
    EXPECT_EQ(list[0].server, "ftp.example.org");

    // Names differing only in case are different profiles.
    EXPECT_EQ(SaveProfile(list, MakeProfile("hjem")), 2u);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "Hjem");
}

TEST(FtpProfile, DeleteShowsTheProfileThatTookThePlaceOrTheNewLast) {
    std::vector<CFtpProfile> list = {MakeProfile("A"), MakeProfile("B"), MakeProfile("C")};
    EXPECT_EQ(DeleteProfile(list, 1), std::optional<size_t>(1));
    EXPECT_EQ(list[1].name, "C");
    EXPECT_EQ(DeleteProfile(list, 1), std::optional<size_t>(0));
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(DeleteProfile(list, 5), std::nullopt);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(DeleteProfile(list, 0), std::nullopt);
    EXPECT_TRUE(list.empty());
}

TEST(FtpProfile, CatalogCheck) {
    for (const char* ok : {"", "/", "\\", "//", "www", "www/site", "abc\\\\def", "/abc/", "a1\\b2",
                           "A-b.c~d_e", "\\\\\\x\\\\\\", "a..b", ".x", "x/..y"}) {
        EXPECT_TRUE(IsValidCatalog(ok)) << ok;
    }
    for (const char* bad : {"abc\\2def", "abc/2def", "3x", "/3x", "\\\\3x", "a b", "a//9", "æble",
                            "a:b", "a*", "x\\y\\0", "..", "www/..", "../x", "a\\.\\b", "./", "www/../..",
                            "\\..\\"}) {
        EXPECT_FALSE(IsValidCatalog(bad)) << bad;
    }
}
