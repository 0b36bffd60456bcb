#pragma once
#include "image/Color.h"
#include <functional>
#include <memory>
#include <string>

class CImage;
class CRelinkMaps;
class CUserInteraction;

// What the picture loader of a fill needs from the open site.
struct CPictureContext {
    // The site's file and folder maps; null without a site.
    CRelinkMaps* maps = nullptr;
    // Null: nobody to ask (a headless build), the load simply fails.
    CUserInteraction* ui = nullptr;
    // Called for every picture that could not be loaded as stored.
    std::function<void()> markModified;
};

// How loading a fill picture ended.
struct CPictureLoad {
    std::unique_ptr<CImage> image; // null when nothing could be loaded
    std::string path;              // where the picture came from (Windows-1252)
    int error = 0;                 // the loader's last error when image is null
    bool useColour = false;        // give up the picture and paint `colour` instead
    CColor colour;
};

// The texts of the dialogs (UTF-8, shown unchanged).
namespace missing_picture {
inline constexpr const char* kMissingCaption = "Billedfyldet findes ikke";
inline constexpr const char* kMissingText = "Billedfyldet nedenfor findes ikke.";
inline constexpr const char* kBrokenCaption = "Det angivne billedfyld er ikke korrekt";
inline constexpr const char* kBrokenText = "Billedfyldet nedenfor er ikke et korrekt billede.";
inline constexpr const char* kChoiceText =
    "Du kan enten vælge et nyt billedfyld ved at klikke på \"Prøv igen\" eller benytte en solid "
    "farve ved at angive den nedenfor og derefter klikke på OK.";
inline constexpr const char* kSolidLabel = "Benyt solid farve:";
inline constexpr const char* kRetryButton = "&Prøv igen...";
inline constexpr const char* kOkButton = "&OK";
inline constexpr const char* kNoMemoryCaption = "Ikke nok hukommelse";
inline constexpr const char* kNoMemoryText =
    "Der er ikke nok hukommelse til at benytte billedfyldet. En solid farve benyttes istedet, "
    "men det anbefales at du genstarter din computer og prøver igen.";
// Dialog ids, so scripts and logs can name them.
inline constexpr int kMissingId = 7101;
inline constexpr int kBrokenId = 7102;
inline constexpr int kNoMemoryId = 7103;
} // namespace missing_picture

// Loads the picture file of a fill, finding it again when it has moved:
//  - a failed load first tries the site's maps (a bad picture: the file map;
//    a missing file: the file map, else the folder map with the old file
//    name; a missing folder: the folder map);
//  - no memory: the "Ikke nok hukommelse" notice, and the fill turns solid red;
//  - a missing or bad picture: the dialog that offers another file or a solid
//    colour. A file chosen there that loads is remembered in the maps (and
//    its folder, when only the folder changed, in the folder map) and
//    becomes the folder the next file dialog starts in; one that fails again
//    asks again with the new reason.
// `colour` is the fill's colour, the solid colour offered.
CPictureLoad LoadFillPicture(const std::string& path, const CColor& colour,
                             const CPictureContext& context);

// The folder part and the file-name part of a stored path; either '/' or '\'
// separates them. The folder keeps its trailing separator.
std::string FolderOfPath(const std::string& path);
std::string NameOfPath(const std::string& path);
