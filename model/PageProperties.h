#pragma once
#include "image/Color.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CPage;
class CUserInteraction;

// The rules behind the page inspector and the site dialogs, as operations on
// the model. The dialogs themselves are the designer's; what they ask the
// user goes through the user-interaction port. Texts are the model's
// Windows-1252 bytes.

inline constexpr int kMaxOpenPageWindows = 10;

// Typed sizes are clamped, never refused.
int32_t ClampPageWidth(int32_t typed);
int32_t ClampPageHeight(int32_t typed);

// The inspector's controls are off without a site and while a text is edited.
bool PagePropertiesEnabled(const CSite* site, const CPage* page);

// Page title: stored (with an undo step) when it differs. True when changed.
bool ApplyPageTitle(CPage& page, const std::string& webName);

enum class EIdentifierChange { Unchanged, Changed, Refused };
// Page ID: refused when empty or used by another page, with the message
// "Ikke unik side identifikation, vælg et andet navn."; the old value stays.
EIdentifierChange ApplyPageIdentifier(CPage& page, const std::string& identifier,
                                      CUserInteraction& ui);

// Width and height edits: the clamped value to write back into the edit; the
// page changes (with an undo step) only when the clamped value differs.
int32_t ApplyPageWidth(CPage& page, int32_t typed);
int32_t ApplyPageHeight(CPage& page, int32_t typed);

// A size preset combo box: the entries, and which one shows the given size.
struct CSizePresets {
    std::vector<std::string> entries;
    std::vector<std::pair<int32_t, int32_t>> sizes; // parallel to entries
    int selected = 0;
};
// "400 x 400", "640 x 480", "740 x 600", with the page's own size first when
// it is none of them.
CSizePresets PageSizePresets(int32_t width, int32_t height);
// "400 x 400", "400 x 600", "600 x 800" for the defaults of new pages.
CSizePresets SiteSizePresets(int32_t width, int32_t height);
// Sets the page to entry index (one undo step when the size changes).
bool ApplyPageSizePreset(CPage& page, const CSizePresets& presets, int index);

// The "Forside" box: checking makes the page the front page; it cannot be
// unchecked, so the box is off while the page is the front page.
bool CanSetFrontPage(const CPage& page);
bool ApplyFrontPage(CPage& page);

// A new site from the new-site dialog: its first page is Side1, carries the
// site's name as web name and is the front page.
std::unique_ptr<CSite> MakeNewSite(const std::string& name, const CBackgroundFill& fill,
                                   int32_t width, int32_t height, const CColor& unvisitedLink,
                                   const CColor& visitedLink);

// Adding a page: enabled with a site of fewer than 500 pages.
bool CanAddPage(const CSite* site);
// At most 10 page windows can be open; at the limit the matching notice is
// shown (adding or showing a page) and false returned.
bool CheckPageWindowLimit(int openWindows, bool adding, CUserInteraction& ui);
// Adds a page with the names from the page dialog. A used or empty
// identifier shows the refusal message and returns null (show the dialog
// again).
CPage* AddNamedPage(CSite& site, const std::string& identifier, const std::string& webName,
                    CUserInteraction& ui);
// Deleting the current page needs at least two open page windows.
bool CanDeletePage(int openWindows);
// Asks "Ønsker du at slette siden?" and deletes the page on Ja. Returns the
// page's former index, -1 when nothing was deleted.
int ConfirmAndDeletePage(CSite& site, CPage& page, CUserInteraction& ui);
// The Show Page menu: every identifier in page order, the front page marked
// " (forside)".
std::vector<std::string> ShowPageMenuEntries(const CSite& site);

// The defaults new pages take.
struct CSiteDefaults {
    int32_t width = CSite::kFileDefaultWidth;
    int32_t height = CSite::kFileDefaultHeight;
    CBackgroundFill fill;
    CColor unvisitedLink{0, 0, 255};
    CColor visitedLink{128, 0, 128};
};
CSiteDefaults DefaultsOf(const CSite& site);
// OK of the defaults dialog with a site open.
void ApplySiteDefaults(CSite& site, const CSiteDefaults& defaults);
// The transfer button: after the user agrees, every page takes the size and
// the background (keeping what the dialog does not set), each with an undo
// step, and the link colours are stored. Returns whether it was done.
bool TransferDefaultsToPages(CSite& site, const CSiteDefaults& defaults, CUserInteraction& ui);
// Draws the texts of a page that carry links again after the link colours
// changed. Until the text code installs a narrower one, every text object of
// the page is marked for rendering.
using TextLinkRefresh = std::function<void(CPage& page)>;
TextLinkRefresh& TextLinkRefreshHook();

// Keywords and description of the site.
void ApplyMetaTags(CSite& site, const std::string& keywords, const std::string& description);
// Head HTML, onload code and used files of a page (one undo step).
void ApplyHeadHtml(CPage& page, const std::string& headerHtml, const std::string& onloadCode,
                   const std::vector<std::string>& usedFiles);
