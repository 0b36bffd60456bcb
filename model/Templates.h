#pragma once
#include <filesystem>
#include <string>
#include <vector>

class CObjectLink;
class CPlumeDoc;
class CSite;

namespace template_texts {
inline constexpr const char* kNoneCaption = "Kan ikke vælge en skabelon";
inline constexpr const char* kNoneText =
    "Der er ikke installeret nogle skabelon. Prøv eventuelt at geninstallere Pagewright.";
inline constexpr int kNoneId = 7400;
} // namespace template_texts

// The templates of one category, names and paths in step.
struct CTemplateCategory {
    std::string name;
    std::vector<std::string> names;
    std::vector<std::filesystem::path> paths;
};

// The installed templates: "*.pws" files in `folder` and in its direct
// sub-folders (not deeper). Categories join by exact text; categories and
// the templates in each are sorted by name without regard to case. Files
// whose header cannot be read are left out. False when the folder is missing.
bool FindTemplates(const std::filesystem::path& folder, std::vector<CTemplateCategory>& categories);

// Clears what does not belong to the link's kind (a template's links keep
// only what they use).
void ResetLink(CObjectLink& link, bool textRun);
// Every link of every object, mouse-over twin and text run of the site.
void ResetSiteLinks(CSite& site);

// Opens a template as a new untitled site. False when it could not be opened.
bool OpenTemplate(CPlumeDoc& doc, const std::filesystem::path& path);
