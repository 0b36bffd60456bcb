#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CSite;

// Which site was published last from this program and which of its pages
// have changed since, so that "send changes" sends only those. Kept in
// ftpfile.dat in the per-user application-data folder:
//   int32 L, L bytes of the site path (no terminator), int32 N, N int32 page
//   positions; little-endian, no header.
class CPublishRecord {
public:
    static constexpr int32_t kMaxPathBytes = 2048;
    static constexpr const char* kFileName = "ftpfile.dat";

    std::string sitePath; // full path of the site file last published
    bool matches = false; // the open site is the one sitePath names
    std::vector<int32_t> pendingPages;

    // <application-data folder>/ftpfile.dat
    static std::filesystem::path DefaultFile();

    // Reads the file. A missing, short or malformed file leaves the record
    // empty and returns false. `matches` is not stored and is left off.
    bool Read(const std::filesystem::path& file);
    // Writes the record as it is, creating the folder when needed; false when
    // the file cannot be written (the old file is then left as it was).
    bool Write(const std::filesystem::path& file) const;

    // Sets the pages' publishPending flags for a site just opened: with the
    // record's site the listed pages are pending; with another site (or a
    // record that does not fit the site) every page is.
    void ApplyTo(CSite& site);
    // Rebuilds the pending list from the pages' flags.
    void CollectPending(const CSite& site);
    // While `matches` is on: collects the pending pages of `site` and writes
    // the file. Returns false only when a write was due and failed.
    bool Save(const CSite& site, const std::filesystem::path& file);
    // After a complete publish of `site`: the record names it, nothing is
    // pending any more.
    void MarkPublished(CSite& site);
    // After a remove: the next publish sends every page.
    void Forget();
};
