#include "model/PicturePaths.h"
#include "services/RelinkMaps.h"
#include "services/Cp1252.h"
#include "services/UserInteraction.h"
#include <algorithm>

namespace picture_paths {
namespace {
void Report(CUserInteraction* ui, const std::string& path) {
    if (!ui) return;
    std::string text = kNotRelative;
    text.replace(text.find("%s"), 2, cp1252::ToUtf8(path));
    ui->Message(
        {kNotRelativeId, "Pagewright", text, CMessage::Icon::Warning, CMessage::Buttons::Ok});
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}
} // namespace

bool IsAbsolute(const std::string& path) {
    if (!path.empty() && IsSeparator(path[0])) return true;
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

std::string FolderOf(const std::string& file) {
    const std::size_t cut = file.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : file.substr(0, cut + 1);
}

bool IsTemplateFile(const std::string& file) {
    return file.size() >= 4 && CRelinkMaps::ToLower(file.substr(file.size() - 4)) == ".pws";
}

std::string ToStored(const std::string& path, const std::string& siteFile, bool asTemplate,
                     CUserInteraction* ui) {
    const std::string folder = FolderOf(siteFile);
    // The folder ends in a separator, so "/sites/a" never claims "/sites/ab/x.png".
    if (!folder.empty() && path.size() > folder.size() &&
        CRelinkMaps::ToLower(path.substr(0, folder.size())) == CRelinkMaps::ToLower(folder))
        return path.substr(folder.size());
    if (asTemplate) Report(ui, path);
    return path;
}

std::string FromStored(const std::string& stored, const std::string& fileBeingRead,
                       CUserInteraction* ui) {
    if (IsAbsolute(stored)) {
        if (IsTemplateFile(fileBeingRead)) Report(ui, stored);
        return stored;
    }
    std::string relative = stored;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return FolderOf(fileBeingRead) + relative;
}

std::function<std::string(const std::string&)> StoreMapping(std::string siteFile, bool asTemplate,
                                                            CUserInteraction* ui) {
    return [siteFile = std::move(siteFile), asTemplate, ui](const std::string& path) {
        return ToStored(path, siteFile, asTemplate, ui);
    };
}

std::function<std::string(const std::string&)> LoadMapping(std::string fileBeingRead,
                                                           CUserInteraction* ui) {
    return [file = std::move(fileBeingRead), ui](const std::string& stored) {
        return FromStored(stored, file, ui);
    };
}
} // namespace picture_paths
