#pragma once
#include "services/ByteStream.h"
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class CByteReader;
class CByteWriter;
class CImage;
class CObjectSet;
class CPage;
class CPageItem;
class CSite;
class CUserInteraction;

// Site files (".pwu") and site templates (".pws") share one layout: a header
// with the site's settings and a JPEG preview of the front page, then the
// pages with their object sets and page items. Only source 1 version 8 is
// written; versions 1 to 8 are read.

namespace site_file {
inline constexpr char kMagic1[8] = {'O', 'r', 'b', 'e', 'l', 'l', 'e', 0};
inline constexpr char kMagic2[6] = {'P', 'l', 'u', 'm', 'e', 0};
inline constexpr StreamTag kPageTag = 0x7A292E05;
inline constexpr StreamTag kItemTag = 0x8B23C79A;
inline constexpr int kPreviewWidth = 131, kPreviewHeight = 134;
inline constexpr int kTemplatePreviewWidth = 159, kTemplatePreviewHeight = 200;
inline constexpr int kPreviewQuality = 40;
inline constexpr uint8_t kOldestVersion = 1;
} // namespace site_file

// Makes the preview picture of a page, scaled to fit within the box.
using CPreviewMaker =
    std::function<std::unique_ptr<CImage>(CPage& page, int maxWidth, int maxHeight)>;

struct CSiteSaveOptions {
    bool asTemplate = false;
    std::string category;     // templates only
    std::string templateName; // templates only
    // Where the file goes: template fill pictures are stored relative to it.
    std::string targetPath;
    CUserInteraction* ui = nullptr;
    // Off when the bytes still have to reach the disk before they count.
    bool markSaved = true;
    // The front page's preview; DefaultPreviewMaker() when empty.
    CPreviewMaker makePreview;
};

// The preview maker of saves that name none. The site file cannot draw pages
// itself (that is the page renderer's work, a layer above); programs install
// the renderer's at start (InstallRendering). Without one a save fails.
CPreviewMaker& DefaultPreviewMaker();

// Writes the whole site. False when the preview cannot be encoded or a record
// cannot be written; the writer then holds an incomplete file that must not
// be kept. Marks the site saved on success.
bool SaveSite(CSite& site, CByteWriter& writer, const CSiteSaveOptions& options = {});

// Reads a whole site file. The site is built aside and returned only when
// every record was read; otherwise null, with the reason in *error.
// `path` is the file the bytes came from: relative fill pictures are found
// next to it, and a template (".pws") reports absolute picture paths.
std::unique_ptr<CSite> LoadSite(CByteReader& reader, const std::string& path,
                                CUserInteraction* ui = nullptr, std::string* error = nullptr);
std::unique_ptr<CSite> LoadSiteFile(const std::filesystem::path& path,
                                    CUserInteraction* ui = nullptr, std::string* error = nullptr);

// The records, also used for copied objects on the clipboard.
void SavePage(const CPage& page, CByteWriter& writer, const CSiteSaveOptions& options);
// Reads into an empty page; throws CFileFormatException.
void LoadPage(CPage& page, CByteReader& reader, const CStreamVersion& version,
              const std::string& path, CUserInteraction* ui);
void SaveObjectSet(const CObjectSet& set, CByteWriter& writer);
// The stored fields of a set; the set itself is made once its items are known.
struct CStoredSet {
    bool isGroup = false;
    bool isSelected = false;
    double angle = 0.0;
};
CStoredSet LoadObjectSet(CByteReader& reader);
void SaveItem(const CPageItem& item, CByteWriter& writer, const CSiteSaveOptions& options = {});
// Null on any error (the exception is caught here).
std::unique_ptr<CPageItem> LoadItem(CByteReader& reader, const CStreamVersion& version,
                                    const std::string& path = {}, CUserInteraction* ui = nullptr,
                                    std::string* error = nullptr);

// The header of a template: false unless the file is a readable template
// with 1 to 500 pages.
bool ReadSiteInfo(const std::filesystem::path& path, std::string& category,
                  std::string& templateName);

// The stored preview of a version-8 file, decoded; null otherwise.
std::unique_ptr<CImage> ReadSitePreview(const std::filesystem::path& path);
