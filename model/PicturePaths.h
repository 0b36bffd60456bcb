#pragma once
#include <functional>
#include <string>

class CUserInteraction;

// Picture paths of fills in site and template files. A template stores the
// pictures below its own folder relative to it, so it works wherever it is
// installed; a site file stores full paths (relative ones from older files
// are still read, against the file's folder).
// Paths are Windows-1252 text. A stored path counts as absolute when it
// starts with '/' or has ":\" at its second character (written on another
// system); relative ones may use '\' or '/'.
namespace picture_paths {
// "Not relative path for %s", shown with the path.
inline constexpr const char* kNotRelative = "Not relative path for %s";
inline constexpr int kNotRelativeId = 7110;

bool IsAbsolute(const std::string& path);
// The folder of a file path, with its trailing '/'; empty for a bare name.
std::string FolderOf(const std::string& file);

// The form written into the file at `siteFile` (a path in the system's
// encoding): for a template (asTemplate) relative to its folder when the path
// lies inside it (letter case counts), else reported through the port (when
// given) and written unchanged; a site file stores every path unchanged.
std::string ToStored(const std::string& path, const std::string& siteFile, bool asTemplate,
                     CUserInteraction* ui);

// The path a stored one stands for when read from `fileBeingRead` (a path in
// the system's encoding): relative paths get that file's folder, in
// Windows-1252 like the stored path, in front (separators turned to '/'); absolute
// ones stay, and when the file is a template (".pws") they are reported.
std::string FromStored(const std::string& stored, const std::string& fileBeingRead,
                       CUserInteraction* ui);

// The mappings the fill records take for Save and Load.
std::function<std::string(const std::string&)> StoreMapping(std::string siteFile, bool asTemplate,
                                                            CUserInteraction* ui);
std::function<std::string(const std::string&)> LoadMapping(std::string fileBeingRead,
                                                           CUserInteraction* ui);

// True for a template file name (ends in ".pws", any case).
bool IsTemplateFile(const std::string& file);
} // namespace picture_paths
