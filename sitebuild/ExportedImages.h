#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

class CRegionPixels;

// The item pictures already written in one build, so that an item that looks
// exactly like an earlier one (the same logo or button on every page) points
// at the earlier file instead of writing another. Pictures are told apart by
// their rendered pixels, so a shared file is always a faithful one, whatever
// lies behind the item on each page.
class CExportedImages {
public:
    struct CKey {
        int width = 0;
        int height = 0;
        uint64_t normal = 0;    // pixel hash of the normal state
        uint64_t mouseOver = 0; // of the mouse-over state; 0 without one
        bool operator==(const CKey&) const = default;
    };
    struct CFiles {
        std::string normal;
        std::string mouseOver;
    };

    static uint64_t PixelHash(const CRegionPixels& pixels);

    // Null when no picture with these pixels was written.
    const CFiles* Find(const CKey& key) const;
    void Add(const CKey& key, CFiles files);
    std::size_t Size() const { return m_files.size(); }

private:
    struct CKeyHash {
        std::size_t operator()(const CKey& key) const;
    };
    std::unordered_map<CKey, CFiles, CKeyHash> m_files;
};
