#pragma once
#include "sitebuild/BuildTypes.h"
#include "publish/Ftp.h"
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

class CPage;
class CPageItem;
class CPublishRecord;
class CSettings;
class CUserInteraction;

// What preview, export, publish and remove work with: the port to the user,
// the settings, the publish record and its file, the process-wide download
// list, and the few places where they reach into the rest of the program.
struct CPublishEnvironment {
    CUserInteraction& ui;
    CSettings& settings;
    CPublishRecord& record;
    std::filesystem::path recordFile; // ftpfile.dat
    DownloadList& downloads;
    // The private per-user folder preview and publish build below (see
    // pw::DefaultBuildFolder); made 0700 when missing. Each run builds in a
    // folder of its own inside it.
    std::filesystem::path buildFolder;
    // Certificate store and time-outs for the connection; whether it is
    // secure comes from the settings.
    CFtpOptions ftpOptions;

    // Hooks, each may be left empty.
    std::function<bool()> saveAs;               // saves the site under a new name
    std::function<bool()> editInternetSettings; // the settings dialog; true on OK
    // Shows a page and selects one of its items (null: the page only).
    std::function<void(const CPage& page, const CPageItem* item)> showItem;
    // Local date and time as year, month 1-12, day, hour, minute.
    std::function<std::array<int16_t, 5>()> now;
};
