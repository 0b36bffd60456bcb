#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

// Every file of a built site is written the same way: into a new temporary
// file beside it, then renamed over the old one. So a full disk or a failed
// write never leaves a picture or a page cut short (the old file stays, or
// nothing), and a symbolic link planted where an output file goes is
// replaced by the new file instead of being written through: its target is
// never touched.

// Writes the bytes as `file`; on failure the error says why and nothing new
// is left behind. A folder or a device in the file's place is an error.
std::error_code WriteOutputFile(const std::filesystem::path& file, std::span<const uint8_t> bytes);
std::error_code WriteOutputFile(const std::filesystem::path& file, std::string_view bytes);

// Copies `from` as `file` the same way. A source that cannot be read gives
// `sourceFailed` (and the error); anything else is a failure to write.
std::error_code CopyOutputFile(const std::filesystem::path& from, const std::filesystem::path& file,
                               bool& sourceFailed);

// Temporary files of an earlier build that was killed half way start with
// this; the next build sweeps them away.
inline constexpr const char* kOutputTempPrefix = ".pw-part-";
void RemoveStaleOutputTemps(const std::filesystem::path& folder);

// Makes `folder` a real folder: a symbolic link in its place is removed
// first (never followed), so nothing of the build lands where the link
// pointed. False when it cannot be made.
bool MakeOutputFolder(const std::filesystem::path& folder);

// The first write that failed in a build: which file, and why. Every write
// of a build passes through Check, so it can also list the files written:
// a cancelled build takes them away again.
struct CWriteFailure {
    std::filesystem::path file;
    std::error_code error;
    std::vector<std::filesystem::path>* written = nullptr; // when listing
    explicit operator bool() const { return static_cast<bool>(error); }
    // Records the failure unless an earlier one is kept; true when ok.
    bool Check(const std::filesystem::path& f, std::error_code ec) {
        if (ec && !error) file = f, error = ec;
        if (!ec && written) written->push_back(f);
        return !ec;
    }
};
