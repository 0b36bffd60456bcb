#pragma once
#include "model/ObjectLink.h"
#include "services/Failure.h"
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CPage;
class CPageItem;

// The records one site build passes between its stages: the pipeline
// (SiteBuilder) fills them, the image output adds file names and the
// background, the HTML writer turns them into files.

// Folder names of a built site; pages refer to each other relative to them.
inline constexpr const char* kFilesFolderName = "My_Homepage_Files";
inline constexpr const char* kDownloadFolderName = "Download";
inline constexpr const char* kFrontPageFile = "default.htm";

// COLORREF: red in the low byte, then green, then blue.
using ColorRef = uint32_t;

struct BuildSettings {
    // Preview builds draw counters as images and point download links at
    // the bare file name.
    bool previewMode = false;
    std::filesystem::path rootFolder;  // receives default.htm
    std::filesystem::path filesFolder; // rootFolder / My_Homepage_Files
    bool repeatBackground = true;
    ColorRef outsideColour = 0xFFFFFF;
    // "Show Large Object Warning"; the build switches it off when the user
    // ticks "do not show again", so the caller reads it back afterwards.
    bool largeObjectWarning = true;
    // Workers that render and encode pictures; 0 means one per core. The
    // output does not depend on it.
    int jobs = 0;
    // Sites for today's screens. All three off is the classic build, byte for
    // byte what the site builder has always written.
    bool hiDpi = false; // also writes every picture at scale 2 as <name>@2x.jpg
    bool webp = false;  // every JPEG also as WebP where that is smaller, offered first
    bool phones = false; // a viewport and a scale-to-fit for screens narrower than the page
    bool Classic() const { return !hiDpi && !webp && !phones; }
    // Checks the pages for the accessibility report of the result; it costs
    // a render of the ground under every text. The output does not depend
    // on it.
    bool accessibilityReport = true;

    // Root and files folder the usual way: files = root / My_Homepage_Files.
    static BuildSettings InFolder(const std::filesystem::path& root, bool preview);
};

enum BuildCode : int {
    BuildOk = 0,
    BuildInvalid = 1,
    BuildCancelled = 3,
    BuildWriteFailed = 4,
    BuildNoFolder = 5,
};

// The pictures one page makes a browser fetch as it opens (item pictures
// and the background, each file once): `before` counts the JPEG, GIF and own
// files, `after` the same with every WebP twin in its JPEG's place, as a
// browser that takes WebP fetches them.
struct PageWeight {
    std::string fileName; // default.htm or Side<position>.html
    long long before = 0;
    long long after = 0;
};

// What the accessibility report of a build can find.
enum class EAccessFinding {
    MissingAltText, // an informative picture without alternative text
    MissingPage,    // a link to a page the site does not have
    MissingFile,    // a link to a local file that is not there
    LowContrast,    // text under 4.5:1 against what is drawn below it
};

// One finding of the accessibility report; the text for people comes from
// DescribeFinding (AccessReport.h).
struct CAccessFinding {
    EAccessFinding kind = EAccessFinding::MissingAltText;
    std::string page;               // identifier of the page (Windows-1252)
    const CPageItem* item = nullptr; // the item, valid while the site is
    int32_t itemNumber = 0;          // its place on the page, from 1 (bottom)
    // MissingPage: the page number the link names; MissingFile: the path as
    // the link holds it; LowContrast: the words of the text in that colour
    // (Windows-1252).
    std::string detail;
    double contrast = 0;    // LowContrast: the measured ratio (x:1)
    ColorRef textColour = 0; // LowContrast: the colour of those words

    bool operator==(const CAccessFinding&) const = default;
};

struct BuildResult {
    int code = BuildOk;
    std::string pageName;           // identifier of the page that failed validation
    std::string reason;             // string 2018 for BuildInvalid
    const CPageItem* item = nullptr; // the offending item for BuildInvalid
    // BuildWriteFailed: EFailure::Write with the file that could not be
    // written and why ("file: reason").
    CFailure failure;
    // Bytes of the pictures a browser fetches to show each page (see
    // PageWeight), page by page in site order; filled by a finished build.
    std::vector<PageWeight> pageWeights;
    // The accessibility report of a finished build, page by page in site
    // order and bottom item first; empty when nothing was found.
    std::vector<CAccessFinding> accessibility;
};

// One entry of a page's text-style table (CSS class textstyle<n>).
struct TextStyle {
    std::string fontName;
    int32_t size = 12; // points
    bool italic = false;
    bool bold = false;
    bool underline = false;
    ColorRef colour = 0;

    bool operator==(const TextStyle&) const = default;
};

// From character index `start` of one HTML text on, style `style` applies.
struct StyleRun {
    int32_t start = 0;
    int32_t style = 0;
};

// A text hyperlink inside an HTML text, characters first..last inclusive.
struct LinkRun {
    CObjectLink link;
    int32_t first = 0;
    int32_t last = 0;
};

enum BackgroundFillType : int32_t { bgSolid = 0, bgImage = 1, bgGradient = 2 };

struct BackgroundRecord {
    int32_t fillType = bgSolid;
    ColorRef solidColour = 0xFFFFFF;
    std::string imageUrl;
    std::string imageUrl2x; // the picture at scale 2; empty when none
    bool tileImage = false;
    ColorRef linkColour = 0xFF0000;        // unvisited links (blue)
    ColorRef visitedLinkColour = 0x800080; // visited links (purple)
    bool repeatBackground = true;
    ColorRef outsideColour = 0xFFFFFF;
};

struct BuildItem {
    CPageItem* item = nullptr;
    int32_t number = 0; // image counter when built; names IMG_<number>
    int32_t left = 0, top = 0, width = 0, height = 0; // clipped to the page
    int32_t zIndex = 0;
    bool htmlText = false;
    std::string cssClass; // Object<n>, given when the page's CSS is written
    std::string imageUrl;
    bool hasMouseOver = false;
    std::string mouseOverImageUrl;
    // The pictures at scale 2 (<name>@2x.jpg); empty when none.
    std::string imageUrl2x, mouseOverImageUrl2x;
    bool hasLink = false;
    std::string linkUrl;
    std::vector<LinkRun> linkRuns;
    // ALT of the item's picture: the user's text, or outside the classic
    // build the item's own words (see OwnWords.h); empty for none.
    std::string altText;
};

struct BuildPage {
    const CPage* page = nullptr;
    int32_t position = 0; // zero-based position in the site
    bool frontPage = false;
    std::string keyName;  // the page identifier, or default.htm for the front page
    std::string fileName; // default.htm or Side<position>.html
    std::vector<BuildItem> items;
    std::vector<TextStyle> styles;
    std::vector<StyleRun> styleRuns; // all HTML texts of the page, in item order
    BackgroundRecord background;
};

// Files a download link offers: the source path and the name the file gets
// in the site's Download folder. Filled by export and publish, read by the
// build.
struct DownloadEntry {
    std::string sourcePath;
    std::string fileName;
};
using DownloadList = std::vector<DownloadEntry>;
