#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

class CSite;
class CUserInteraction;

namespace safe_save {
inline constexpr int kTempLetters = 20;
inline constexpr const char* kFailCaption = "Kunne ikke gemme";
inline constexpr const char* kFailText = "Ændringerne kunne ikke gemmes!";
inline constexpr int kFailId = 7200;

// Called with the complete temporary file just before it replaces the
// target (lets tests watch the file).
std::function<void(const std::filesystem::path& temporary)>& BeforeRenameHook();

// `folder` + 20 random letters + ".pwu".
std::filesystem::path TemporaryName(const std::filesystem::path& folder);

// "name" and "name.txt" become "name.pwu"; "name.PWU" stays.
std::filesystem::path ForceExtension(std::filesystem::path path, const std::string& extension);

// Writes bytes to a temporary file next to target, flushes it to disk and
// renames it over target; the folder is flushed after the rename. On failure
// only the temporary file is removed and the old target is untouched.
bool ReplaceFile(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                 std::string* error = nullptr);
} // namespace safe_save

// Saves the site (not as a template) through ReplaceFile. When that fails the
// user is told and offered another name until a save succeeds (path then
// holds the name used) or the user cancels (false). The site's path follows
// the name tried.
bool SafeSave(CSite& site, std::filesystem::path& path, CUserInteraction& ui);
