#include "sitebuild/BuildTypes.h"

BuildSettings BuildSettings::InFolder(const std::filesystem::path& root, bool preview) {
    BuildSettings settings;
    settings.previewMode = preview;
    settings.rootFolder = root;
    settings.filesFolder = root / kFilesFolderName;
    return settings;
}
