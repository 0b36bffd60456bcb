#pragma once
#include <functional>
#include <string>

class CUserInteraction;

// Picture paths of fills in site and template files. A site file stores the
// pictures below its own folder relative to it, so a site moved together with
// its pictures still finds them; a template must hold only such paths.
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

// The form written into the file at `siteFile`: relative to its folder when
// the path lies inside it (compared without regard to case), else unchanged.
// For a template (asTemplate) a path outside its folder is reported through
// the port (when given) and written unchanged.
std::string ToStored(const std::string& path, const std::string& siteFile, bool asTemplate,
                     CUserInteraction* ui);

// The path a stored one stands for when read from `fileBeingRead`: relative
// paths get that file's folder in front (separators turned to '/'); absolute
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
