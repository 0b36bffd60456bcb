#pragma once
#include <filesystem>
#include <string>

// The places on this machine that settings defaults and the site tools need.
// Every folder returned as a string ends with '/', so that a file name can be
// appended directly, as the stored path settings expect.
class CDataFolders {
public:
    // The program's data folder (templates, snippets, textures, pictures,
    // manual) for the running program; see the overload.
    static std::filesystem::path DataFolder();

    // The data folder of a program in `programFolder`: share/pagewright
    // beside its bin folder when it is installed (wherever the installation
    // was unpacked), else the source tree's resources folder (running from
    // the build tree), else the configured installation's share folder.
    static std::filesystem::path DataFolder(const std::filesystem::path& programFolder);

    // The user's home folder ($HOME), or "/" when it is not set.
    static std::filesystem::path HomeFolder();

    // The user's documents folder: XDG_DOCUMENTS_DIR from user-dirs.dirs in
    // the XDG config folder, else ~/Documents when it exists, else the home
    // folder.
    static std::filesystem::path DocumentsFolder();

    // The same lookup with the home and config folders given, for tests.
    static std::filesystem::path DocumentsFolder(const std::filesystem::path& home,
                                                 const std::filesystem::path& configHome);

    // The per-user application-data folder of the program, where it keeps
    // files of its own between runs (the publish record): XDG_DATA_HOME, else
    // ~/.local/share, followed by Quillmarsh/Pagewright. Not created here.
    static std::filesystem::path AppDataFolder();

    // `folder` as text with exactly one trailing '/'.
    static std::string WithTrailingSlash(const std::filesystem::path& folder);
};
