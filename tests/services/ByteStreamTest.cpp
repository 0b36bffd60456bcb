#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/GrowthRule.h"
#include "tests/support/TempDir.h"
#include <cmath>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian int32 spelled out by hand, independent of the writer.
Bytes Le32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A length prefix followed by that many 'x' bytes.
Bytes Counted(Bytes prefix, std::size_t length) {
    prefix.insert(prefix.end(), length, 'x');
    return prefix;
}

template <class Read> void ExpectFormatError(const Bytes& bytes, Read read, std::size_t offset) {
    CByteReader reader{std::span<const uint8_t>(bytes)};
    try {
        read(reader);
        FAIL() << "no exception for " << bytes.size() << " bytes";
    } catch (const CFileFormatException& e) {
        EXPECT_EQ(e.Offset(), offset) << e.what();
        EXPECT_NE(std::string(e.what()).find("offset " + std::to_string(offset)),
                  std::string::npos)
            << e.what();
    }
    // A failed read leaves the position at the field.
    EXPECT_EQ(reader.Tell(), 0u);
}

} // namespace

TEST(ByteWriter, ExactLayouts) {
    CByteWriter w;
    w.WriteInt32(-2);
    w.WriteString("ab");
    w.WriteInt16(-3);
    w.WriteUInt16(0xBEEF);
    w.WriteDouble(1.0);
    w.WriteBool(true);
    w.WriteBool(false);
    w.WriteColour({0x11, 0x22, 0x33});
    w.WriteTag(MakeTag("ABCD"));
    w.WriteShortString("z");
    w.WriteTinyString("");
    w.WriteLongString("q");
    const Bytes expected = {
        0xFE, 0xFF, 0xFF, 0xFF,                         // int32 -2
        0x02, 0x00, 0x00, 0x00, 'a',  'b',              // string "ab"
        0xFD, 0xFF,                                     // int16 -3
        0xEF, 0xBE,                                     // uint16
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, // double 1.0
        0x01, 0x00,                                     // bools
        0x11, 0x22, 0x33,                               // colour r g b
        'A',  'B',  'C',  'D',                          // tag in stream order
        0x01, 0x00, 'z',                                // short string
        0x00,                                           // tiny string
        0x01, 0x00, 0x00, 0x00, 'q',                    // long string
    };
    EXPECT_EQ(w.Data(), expected);

    // Patching a size field written earlier.
    CByteWriter p;
    const auto at = p.Tell();
    p.WriteInt32(0);
    p.WriteUInt16(0);
    p.PatchInt32(at, 0x01020304);
    p.PatchUInt16(4, 0x0506);
    EXPECT_EQ(p.Data(), (Bytes{4, 3, 2, 1, 6, 5}));
    EXPECT_THROW(p.PatchInt32(3, 1), std::out_of_range);
    EXPECT_THROW(p.PatchUInt16(6, 1), std::out_of_range);
}

TEST(ByteStream, RoundTripAllTypes) {
    const double awkward[] = {0.0, -0.0, 3.141592653589793, -1e300, 5e-324,
                              std::numeric_limits<double>::infinity()};
    const std::string high("\x80\xE6\xF8\xE5\xFF\x00z", 7); // cp1252 bytes, embedded NUL
    CByteWriter w;
    w.WriteByte(0xFF);
    w.WriteInt8(-128);
    w.WriteInt16(-32768);
    w.WriteInt16(32767);
    w.WriteUInt16(65535);
    w.WriteInt32(std::numeric_limits<int32_t>::min());
    w.WriteInt32(std::numeric_limits<int32_t>::max());
    w.WriteUInt32(0xFFFFFFFFu);
    for (double d : awkward) w.WriteDouble(d);
    w.WriteColour({255, 0, 128});
    w.WriteTag(MakeTag("Pg01"));
    w.WriteString(high);
    w.WriteString(std::string(2048, 's'));
    w.WriteLongString(std::string(2000000, 'l'));
    w.WriteShortString(std::string(256, 'h'));
    w.WriteTinyString(std::string(255, 't'));
    w.WriteBytes(Bytes{9, 8, 7});

    CByteReader r(w.Take(), CStreamVersion{1, 7});
    EXPECT_EQ(r.ReadByte(), 0xFF);
    EXPECT_EQ(r.ReadInt8(), -128);
    EXPECT_EQ(r.ReadInt16(), -32768);
    EXPECT_EQ(r.ReadInt16(), 32767);
    EXPECT_EQ(r.ReadUInt16(), 65535);
    EXPECT_EQ(r.ReadInt32(), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(r.ReadInt32(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(r.ReadUInt32(), 0xFFFFFFFFu);
    for (double d : awkward) {
        const double got = r.ReadDouble();
        EXPECT_EQ(got, d);
        EXPECT_EQ(std::signbit(got), std::signbit(d));
    }
    EXPECT_EQ(r.ReadColour(), (CRgb{255, 0, 128}));
    EXPECT_EQ(r.PeekTag(), MakeTag("Pg01"));
    EXPECT_FALSE(r.TryTag(MakeTag("Pg02")));
    EXPECT_TRUE(r.TryTag(MakeTag("Pg01")));
    EXPECT_EQ(r.ReadString(), high);
    EXPECT_EQ(r.ReadString(), std::string(2048, 's'));
    EXPECT_EQ(r.ReadLongString(), std::string(2000000, 'l'));
    EXPECT_EQ(r.ReadShortString(), std::string(256, 'h'));
    EXPECT_EQ(r.ReadTinyString(), std::string(255, 't'));
    EXPECT_EQ(r.ReadBytes(3), (Bytes{9, 8, 7}));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.Version(), (CStreamVersion{1, 7}));
}

TEST(ByteWriter, RefusesStringsThatCouldNotBeReadBack) {
    CByteWriter w;
    EXPECT_THROW(w.WriteString(std::string(2049, 'a')), std::length_error);
    EXPECT_THROW(w.WriteLongString(std::string(2000001, 'a')), std::length_error);
    EXPECT_THROW(w.WriteShortString(std::string(257, 'a')), std::length_error);
    EXPECT_THROW(w.WriteTinyString(std::string(256, 'a')), std::length_error);
    EXPECT_EQ(w.Tell(), 0u); // nothing half-written
}

TEST(ByteReader, StringLengthLimitsAtBothEnds) {
    using R = CByteReader&;
    // Accepted extremes.
    for (uint32_t len : {0u, 2048u}) {
        const Bytes b = Counted(Le32(len), len);
        CByteReader r{std::span<const uint8_t>(b)};
        EXPECT_EQ(r.ReadString().size(), len);
        EXPECT_TRUE(r.AtEnd());
    }
    {
        const Bytes b = Counted(Le32(2000000), 2000000);
        CByteReader r{std::span<const uint8_t>(b)};
        EXPECT_EQ(r.ReadLongString().size(), 2000000u);
    }
    {
        const Bytes b = Counted({0x00, 0x01}, 256);
        CByteReader r{std::span<const uint8_t>(b)};
        EXPECT_EQ(r.ReadShortString().size(), 256u);
    }
    // Rejected lengths: the error points at the length field (offset 0),
    // even when enough bytes follow.
    ExpectFormatError(Counted(Le32(0xFFFFFFFF), 8), [](R r) { r.ReadString(); }, 0);
    ExpectFormatError(Counted(Le32(2049), 2049), [](R r) { r.ReadString(); }, 0);
    ExpectFormatError(Counted(Le32(0x80000000), 8), [](R r) { r.ReadString(); }, 0);
    ExpectFormatError(Counted(Le32(2000001), 2000001), [](R r) { r.ReadLongString(); }, 0);
    ExpectFormatError(Counted(Le32(0xFFFFFFFF), 8), [](R r) { r.ReadLongString(); }, 0);
    ExpectFormatError(Counted({0x01, 0x01}, 257), [](R r) { r.ReadShortString(); }, 0);
    ExpectFormatError(Counted({0xFF, 0xFF}, 8), [](R r) { r.ReadShortString(); }, 0);
}

TEST(ByteReader, ShortReadOfEveryType) {
    using R = CByteReader&;
    struct Case {
        const char* name;
        Bytes complete;
        std::function<void(R)> read;
    };
    const Case cases[] = {
        {"byte", {1}, [](R r) { r.ReadByte(); }},
        {"bool", {1}, [](R r) { r.ReadBool(); }},
        {"int16", {1, 2}, [](R r) { r.ReadInt16(); }},
        {"uint16", {1, 2}, [](R r) { r.ReadUInt16(); }},
        {"int32", {1, 2, 3, 4}, [](R r) { r.ReadInt32(); }},
        {"uint32", {1, 2, 3, 4}, [](R r) { r.ReadUInt32(); }},
        {"double", Bytes(8, 0), [](R r) { r.ReadDouble(); }},
        {"colour", {1, 2, 3}, [](R r) { r.ReadColour(); }},
        {"tag", {'A', 'B', 'C', 'D'}, [](R r) { r.ReadTag(); }},
        {"peek", {'A', 'B', 'C', 'D'}, [](R r) { r.PeekTag(); }},
        {"expect", {'A', 'B', 'C', 'D'}, [](R r) { r.ExpectTag(MakeTag("ABCD")); }},
        {"bytes", {1, 2, 3}, [](R r) { r.ReadBytes(3); }},
        {"range", {3, 0, 0, 0}, [](R r) { r.ReadInt32Range(0, 3); }},
        {"string", Counted(Le32(3), 3), [](R r) { r.ReadString(); }},
        {"long", Counted(Le32(3), 3), [](R r) { r.ReadLongString(); }},
        {"short", Counted({3, 0}, 3), [](R r) { r.ReadShortString(); }},
        {"tiny", Counted({3}, 3), [](R r) { r.ReadTinyString(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            CByteReader r{std::span<const uint8_t>(c.complete)};
            EXPECT_NO_THROW(c.read(r));
        }
        Bytes cut = c.complete;
        cut.pop_back();
        // A one-byte-short field fails where the field starts, after a prefix.
        const Bytes prefixed = Concat({0xAA, 0xBB}, cut);
        CByteReader r{std::span<const uint8_t>(prefixed)};
        r.Skip(2);
        EXPECT_THROW(c.read(r), CFileFormatException);
        EXPECT_EQ(r.Tell(), 2u);
        // An empty stream fails too.
        CByteReader empty{std::span<const uint8_t>()};
        EXPECT_THROW(c.read(empty), CFileFormatException);
    }
    // The tiny string's bound is its own length byte.
    ExpectFormatError({255}, [](R r) { r.ReadTinyString(); }, 0);
}

TEST(ByteReader, RangeChecksTagsAndSeek) {
    const Bytes b = Concat(Concat(Le32(4), Le32(static_cast<uint32_t>(-1))),
                           Bytes{0x02, 0x80, 0x05, 0x00, 'O', 'B', 'J', 'x'});
    CByteReader r{std::span<const uint8_t>(b)};
    EXPECT_THROW(r.ReadInt32Range(0, 3, "fill type"), CFileFormatException);
    EXPECT_EQ(r.Tell(), 0u);
    EXPECT_EQ(r.ReadInt32Range(0, 4), 4);
    EXPECT_EQ(r.ReadInt32Range(-1, -1), -1);
    EXPECT_EQ(r.ReadByteRange(0, 2), 2);
    EXPECT_EQ(r.ReadBool(), true); // any non-zero byte is true
    r.Seek(9);
    EXPECT_THROW(r.ReadByteRange(0, 1), CFileFormatException); // 0x80
    r.Seek(10);
    EXPECT_EQ(r.ReadUInt16Range(5, 5), 5);
    r.Seek(10);
    EXPECT_EQ(r.ReadInt16Range(-5, 5), 5);
    r.Seek(10);
    EXPECT_THROW(r.ReadInt16Range(6, 9), CFileFormatException);

    // An optional record whose tag does not match: go back and read something else.
    r.Seek(12);
    const std::size_t mark = r.Tell();
    EXPECT_NE(r.ReadTag(), MakeTag("OBJy"));
    r.Seek(mark);
    try {
        r.ExpectTag(MakeTag("OBJy"));
        FAIL();
    } catch (const CFileFormatException& e) {
        EXPECT_EQ(e.Offset(), 12u);
        const std::string what = e.what();
        EXPECT_NE(what.find("'OBJy'"), std::string::npos) << what;
        EXPECT_NE(what.find("'OBJx'"), std::string::npos) << what;
    }
    EXPECT_EQ(r.Tell(), mark);
    r.ExpectTag(MakeTag("OBJx"));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_FALSE(r.TryTag(MakeTag("OBJx"))); // nothing left: no match, no throw
    r.Seek(0);
    EXPECT_EQ(r.ReadInt32(), 4);
    EXPECT_EQ(r.Remaining(), b.size() - 4);
    EXPECT_THROW(r.Seek(b.size() + 1), CFileFormatException);
    EXPECT_THROW(r.Fail("bad magic"), CFileFormatException);
    EXPECT_EQ(TagToString(0x00000001u), "0x00000001");
}

TEST(ByteReader, FromFileAndOwnership) {
    pwtest::TempDir dir;
    const auto file = dir.Path() / "data.bin";
    {
        std::ofstream out(file, std::ios::binary);
        out.write("\x07\x00\x00\x00rest", 8);
    }
    std::string error;
    auto r = CByteReader::FromFile(file, &error);
    ASSERT_TRUE(r) << error;
    CByteReader moved = std::move(*r); // owned bytes survive the move
    EXPECT_EQ(moved.ReadInt32(), 7);
    EXPECT_EQ(moved.ReadBytes(4), (Bytes{'r', 'e', 's', 't'}));

    EXPECT_FALSE(CByteReader::FromFile(dir.Path() / "missing.pwu", &error));
    EXPECT_NE(error.find("missing.pwu"), std::string::npos) << error;
    EXPECT_FALSE(CByteReader::FromFile(dir.Path(), &error));
}

TEST(StreamVersion, FieldPresenceGate) {
    EXPECT_TRUE((CStreamVersion{1, 8}.Has(8)));
    EXPECT_FALSE((CStreamVersion{1, 7}.Has(8)));
    EXPECT_TRUE((CStreamVersion{1, 7}.Has(7)));
    EXPECT_TRUE((CStreamVersion{2, 0}.Has(8)));
    EXPECT_FALSE((CStreamVersion{0, 9}.Has(8)));
    EXPECT_EQ(MakeTag("ABCD"), 0x44434241u);
    EXPECT_EQ((CRgb{1, 2, 3}.ToColorRef()), 0x030201u);
    EXPECT_EQ(CRgb::FromColorRef(0x030201u), (CRgb{1, 2, 3}));
}

TEST(GrowthRule, Steps) {
    EXPECT_EQ(GrowthStep(0), 4u);
    EXPECT_EQ(GrowthStep(39), 4u);
    EXPECT_EQ(GrowthStep(40), 5u);
    EXPECT_EQ(GrowthStep(8192), 1024u);
    EXPECT_EQ(GrowthStep(1000000), 1024u);
    EXPECT_EQ(GrowthStep(1000000, 7), 7u);
    static_assert(GrowthStep(80) == 10);
}
