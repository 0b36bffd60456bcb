#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Builds expected record bytes by hand, independently of CByteWriter, so
// layout tests compare the writers against the format itself.
struct CRecordBytes {
    std::vector<uint8_t> bytes;

    CRecordBytes& U8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    CRecordBytes& I32(int64_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
        return *this;
    }
    CRecordBytes& F64(double v) {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
        return *this;
    }
    CRecordBytes& Rgb(uint8_t r, uint8_t g, uint8_t b) { return U8(r).U8(g).U8(b); }
    CRecordBytes& Str(const std::string& s) {
        I32(static_cast<int64_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
};
