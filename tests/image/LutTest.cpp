#include "image/Lut.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

namespace {

LutColor C(int r, int g, int b) {
    return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

// Entry i of the descending 6x6x6 cube, written out from its definition:
// entry 36(5-r) + 6(5-g) + (5-b) holds (51r, 51g, 51b).
LutColor Descending(int i) {
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                if (36 * (5 - r) + 6 * (5 - g) + (5 - b) == i) return C(51 * r, 51 * g, 51 * b);
    ADD_FAILURE() << "no cube entry " << i;
    return {};
}

void ExpectOutOfRange(auto&& call) {
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_EQ(std::string(e.what()), "in CLut::operator []");
    }
}

} // namespace

TEST(Lut, NamedPalettesHaveTheirCountsAndEntries) {
    const CLut cube(CLut::cubeAndGrays);
    ASSERT_EQ(cube.GetColors(), 256);
    EXPECT_EQ(cube[0], C(0, 0, 0));
    EXPECT_EQ(cube[1], C(0, 0, 51));
    EXPECT_EQ(cube[6], C(0, 51, 0));
    EXPECT_EQ(cube[36 * 2 + 6 * 3 + 4], C(102, 153, 204));
    EXPECT_EQ(cube[215], C(255, 255, 255));
    const int greys[] = {0, 6, 13, 19};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(cube[216 + i], C(greys[i], greys[i], greys[i]));
    EXPECT_EQ(cube[254], C(248, 248, 248));
    EXPECT_EQ(cube[255], C(255, 255, 255));

    const CLut web(CLut::webCube);
    ASSERT_EQ(web.GetColors(), 216);
    for (int i = 0; i < 216; ++i)
        EXPECT_EQ(web[i], Descending(i)) << i;
    EXPECT_EQ(web[0], C(255, 255, 255));
    EXPECT_EQ(web[215], C(0, 0, 0));

    const CLut ramp(CLut::grayRamp);
    ASSERT_EQ(ramp.GetColors(), 256);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(ramp[i], C(i, i, i));

    const CLut stat(CLut::windowsStatic);
    ASSERT_EQ(stat.GetColors(), 20);
    EXPECT_EQ(stat[8], C(192, 220, 192));
    EXPECT_EQ(stat[10], C(255, 251, 240));
    EXPECT_EQ(stat[19], C(255, 255, 255));

    const CLut sys(CLut::windowsSystem);
    ASSERT_EQ(sys.GetColors(), 256);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(sys[i], stat[i]);
    for (int i = 0; i < 216; ++i)
        EXPECT_EQ(sys[10 + i], Descending(i));
    EXPECT_EQ(sys[226], C(0, 0, 0));
    EXPECT_EQ(sys[227], C(13, 13, 13));
    EXPECT_EQ(sys[229], C(40, 40, 40));
    EXPECT_EQ(sys[244], C(241, 241, 241));
    EXPECT_EQ(sys[245], C(255, 255, 255));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(sys[246 + i], stat[10 + i]);

    const CLut mac(CLut::macSystem);
    ASSERT_EQ(mac.GetColors(), 256);
    for (int i = 0; i < 215; ++i)
        EXPECT_EQ(mac[i], Descending(i));
    EXPECT_EQ(mac[214], C(0, 0, 51));
    EXPECT_EQ(mac[215], C(238, 0, 0));
    EXPECT_EQ(mac[224], C(17, 0, 0));
    EXPECT_EQ(mac[225], C(0, 238, 0));
    EXPECT_EQ(mac[236], C(0, 0, 221));
    EXPECT_EQ(mac[249], C(136, 136, 136));
    EXPECT_EQ(mac[254], C(17, 17, 17));
    EXPECT_EQ(mac[255], C(0, 0, 0));

    // The system palettes hold no colour twice except black/white overlaps
    // the definitions imply; a mis-indexed ramp would show up as duplicates.
    std::set<std::tuple<int, int, int>> seen;
    for (int i = 0; i < 255; ++i)
        seen.insert({mac[i].red, mac[i].green, mac[i].blue});
    EXPECT_EQ(seen.size(), 255u);

    EXPECT_EQ(CLut(static_cast<CLut::lutName>(6)).GetColors(), 0);
    EXPECT_EQ(CLut(static_cast<CLut::lutName>(-1)).GetColors(), 0);
    EXPECT_EQ(CLut().GetColors(), 0);
}

TEST(Lut, IndexingChecksBoundsAndGrowsTheCount) {
    CLut lut;
    ExpectOutOfRange([&] { (void)std::as_const(lut)[0]; });
    lut[10] = C(1, 2, 3);
    EXPECT_EQ(lut.GetColors(), 11);
    // The entries skipped over are black.
    EXPECT_EQ(std::as_const(lut)[5], C(0, 0, 0));
    EXPECT_EQ(std::as_const(lut)[10], C(1, 2, 3));
    lut[3] = C(9, 9, 9); // below the count: no change of count
    EXPECT_EQ(lut.GetColors(), 11);
    ExpectOutOfRange([&] { (void)std::as_const(lut)[11]; });
    ExpectOutOfRange([&] { lut[300]; });
    ExpectOutOfRange([&] { lut[256]; });
    EXPECT_EQ(lut.GetColors(), 11);
    lut[255] = C(7, 7, 7);
    EXPECT_EQ(lut.GetColors(), 256);

    const CLut web(CLut::webCube);
    ExpectOutOfRange([&] { (void)web[216]; });
}

TEST(Lut, CopyClearsTheUnusedEntriesButAssignmentKeepsThem) {
    CLut small;
    small[1] = C(10, 20, 30);

    CLut assigned(CLut::grayRamp);
    assigned = small;
    EXPECT_EQ(assigned.GetColors(), 2);
    EXPECT_EQ(assigned[0u], C(0, 0, 0));
    EXPECT_EQ(assigned[1u], C(10, 20, 30));
    // Raising the count again uncovers what the grey ramp left behind.
    EXPECT_EQ(assigned[100], C(100, 100, 100));

    CLut source(CLut::grayRamp);
    source = small; // entries 2..255 still hold greys beyond the count
    CLut copied(source);
    EXPECT_EQ(copied.GetColors(), 2);
    EXPECT_EQ(copied[1u], C(10, 20, 30));
    EXPECT_EQ(copied[100], C(0, 0, 0));

    CLut& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.GetColors(), 101);
    EXPECT_EQ(std::as_const(assigned)[100], C(100, 100, 100));
}
