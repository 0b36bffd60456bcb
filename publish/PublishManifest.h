#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

// What the last publish really put on one server: every file it sent, by
// its path below the catalog ('/' between folders), with its size and the
// SHA-256 of its local bytes. A publish compares the fresh build with this
// and sends only what differs; files listed here that the new build no
// longer has are the only ones it ever deletes. Updated file by file while a
// run goes, so that a run that breaks off still leaves a true description.
//
// One file per destination (connection kind, server, port, user, catalog)
// in a folder beside the publish record, as text:
//   pagewright publish manifest 1
//   destination <key>
//   <sha256 hex> <size> <path>      (one line per file)
class CPublishManifest {
public:
    struct CEntry {
        uintmax_t size = 0;
        std::string sha256; // 64 lower-case hex digits
        bool operator==(const CEntry&) const = default;
    };

    std::map<std::string, CEntry> files;

    // The key that names one destination; catalog parts joined with '/'.
    static std::string DestinationKey(const std::string& kind, const std::string& server, int port,
                                      const std::string& user, const std::string& catalog);
    // <folder>/<sha256 of key>.manifest
    static std::filesystem::path FileFor(const std::filesystem::path& folder,
                                         const std::string& key);

    // Reads the manifest of `key`. A missing file, one of another destination
    // or a damaged one leaves the manifest empty (everything is sent again)
    // and returns false.
    bool Read(const std::filesystem::path& file, const std::string& key);
    // Writes aside and renames, so a crash never leaves half a manifest.
    bool Write(const std::filesystem::path& file, const std::string& key) const;
};

namespace pw {
// SHA-256 of a file's bytes with its size; none when it cannot be read.
std::optional<CPublishManifest::CEntry> HashFile(const std::filesystem::path& file);
std::string Sha256Hex(const std::string& bytes);
} // namespace pw
