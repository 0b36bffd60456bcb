#include "model/PageProperties.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "services/ByteStream.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <cstdio>

namespace {
constexpr const char* kAppCaption = "Pagewright";
constexpr const char* kPageCountCaption = "Information om antal sider";
constexpr const char* kAddLimitText =
    "Du kan godt tilføje en ekstra side til din hjemmeside men kun 10 sider kan vises ad "
    "gangen. Luk derfor en af de åbne sider og klik på \"Tilføj Side\" igen.";
constexpr const char* kShowLimitText =
    "Kun 10 sider fra din hjemmeside kan blive vist ad gangen. Luk derfor en af de åbne sider "
    "og klik på \"Vis Side\" igen. ";
constexpr const char* kLimitReminder = "Husk at en side ikke slettes blot fordi den lukkes. Den "
                                       "kan altid kaldes frem igen via \"Vis Side\" knappen.";
constexpr const char* kDeleteCaption = "Slet side";
constexpr const char* kDeleteText = "Ønsker du at slette siden?";
constexpr const char* kTransferCaption = "Overfør indstillinger til eksisterende sider";
constexpr const char* kTransferText =
    "Du har valgt at overføre de valgte indstillinger til alle eksisterende sider i denne "
    "hjemmeside.\nØnsker du at overføre indstillingerne?";

bool AskJaNej(CUserInteraction& ui, const char* caption, const char* text) {
    CChoice choice;
    choice.caption = caption;
    choice.text = text;
    choice.buttons = {"&Ja", "&Nej"};
    return ui.Choose(choice).button == 0;
}

void RefuseIdentifier(CUserInteraction& ui) {
    ui.Inform(kAppCaption, CStringTable::Get(IDS_PAGE_ID_NOT_UNIQUE), IDS_PAGE_ID_NOT_UNIQUE);
}

CSizePresets Presets(std::initializer_list<std::pair<int32_t, int32_t>> fixed, int32_t width,
                     int32_t height) {
    CSizePresets p;
    auto add = [&p](int32_t w, int32_t h) {
        char text[32];
        std::snprintf(text, sizeof text, "%d x %d", static_cast<int>(w), static_cast<int>(h));
        p.entries.emplace_back(text);
        p.sizes.emplace_back(w, h);
    };
    const auto own = std::find(fixed.begin(), fixed.end(), std::pair{width, height});
    if (own == fixed.end()) add(width, height);
    for (const auto& [w, h] : fixed)
        add(w, h);
    p.selected = own == fixed.end() ? 0 : static_cast<int>(own - fixed.begin());
    return p;
}
} // namespace

int32_t ClampPageWidth(int32_t typed) {
    return std::clamp(typed, CPage::kMinWidth, CPage::kMaxWidth);
}

int32_t ClampPageHeight(int32_t typed) {
    return std::clamp(typed, CPage::kMinHeight, CPage::kMaxHeight);
}

bool PagePropertiesEnabled(const CSite* site, const CPage* page) {
    return site && page && !page->IsEditingText();
}

bool TextFitsRecord(const std::string& text, std::size_t limit, const char* field,
                    CFailure* failure) {
    if (text.size() <= limit) return true;
    if (failure)
        *failure = CFailure(EFailure::Invalid, std::string(field) + " må højst have " +
                                                   std::to_string(limit) + " tegn (her er " +
                                                   std::to_string(text.size()) + ").");
    return false;
}

bool ApplyPageTitle(CPage& page, const std::string& webName, CFailure* failure) {
    if (webName == page.WebName()) return false;
    if (!TextFitsRecord(webName, kMaxStringLength, "Sidens titel", failure)) return false;
    page.RecordUndo(EUndoKind::PageProperties);
    page.SetWebName(webName);
    return true;
}

EIdentifierChange ApplyPageIdentifier(CPage& page, const std::string& identifier,
                                      CUserInteraction& ui, CFailure* failure) {
    if (identifier == page.Identifier()) return EIdentifierChange::Unchanged;
    if (!TextFitsRecord(identifier, kMaxStringLength, "Sidens ID", failure))
        return EIdentifierChange::Refused;
    if (identifier.empty() || !page.Site().IsIdentifierFree(identifier)) {
        RefuseIdentifier(ui);
        return EIdentifierChange::Refused;
    }
    page.RecordUndo(EUndoKind::PageProperties);
    page.SetIdentifier(identifier);
    return EIdentifierChange::Changed;
}

int32_t ApplyPageWidth(CPage& page, int32_t typed) {
    const int32_t width = ClampPageWidth(typed);
    if (width != page.Width()) {
        page.RecordUndo(EUndoKind::PageProperties);
        page.SetWidth(width);
    }
    return width;
}

int32_t ApplyPageHeight(CPage& page, int32_t typed) {
    const int32_t height = ClampPageHeight(typed);
    if (height != page.Height()) {
        page.RecordUndo(EUndoKind::PageProperties);
        page.SetHeight(height);
    }
    return height;
}

CSizePresets PageSizePresets(int32_t width, int32_t height) {
    return Presets({{400, 400}, {640, 480}, {740, 600}}, width, height);
}

CSizePresets SiteSizePresets(int32_t width, int32_t height) {
    return Presets({{400, 400}, {400, 600}, {600, 800}}, width, height);
}

bool ApplyPageSizePreset(CPage& page, const CSizePresets& presets, int index) {
    if (index < 0 || index >= static_cast<int>(presets.sizes.size())) return false;
    const auto [w, h] = presets.sizes[static_cast<std::size_t>(index)];
    const int32_t width = ClampPageWidth(w), height = ClampPageHeight(h);
    if (width == page.Width() && height == page.Height()) return false;
    page.RecordUndo(EUndoKind::PageProperties);
    if (width != page.Width()) page.SetWidth(width);
    if (height != page.Height()) page.SetHeight(height);
    return true;
}

bool CanSetFrontPage(const CPage& page) {
    return !page.IsFrontPage();
}

bool ApplyFrontPage(CPage& page) {
    if (!CanSetFrontPage(page)) return false;
    page.Site().SetFrontPage(page);
    return true;
}

std::unique_ptr<CSite> MakeNewSite(const std::string& name, const CBackgroundFill& fill,
                                   int32_t width, int32_t height, const CColor& unvisitedLink,
                                   const CColor& visitedLink, CFailure* failure) {
    if (!TextFitsRecord(name, kMaxShortStringLength, "Hjemmesidens navn", failure)) return nullptr;
    auto site = std::make_unique<CSite>(name, fill, ClampPageWidth(width), ClampPageHeight(height),
                                        unvisitedLink, visitedLink);
    auto page = std::make_unique<CPage>(*site, site->MakeUniquePageIdentifier(), name);
    page->SetFrontPageFlag(true);
    page->MarkModified();
    site->AddPage(std::move(page));
    return site;
}

bool CanAddPage(const CSite* site) {
    return site && site->PageCount() < CSite::kMaxPages;
}

bool CheckPageWindowLimit(int openWindows, bool adding, CUserInteraction& ui) {
    if (openWindows < kMaxOpenPageWindows) return true;
    ui.Inform(kPageCountCaption,
              std::string(adding ? kAddLimitText : kShowLimitText) + "\n" + kLimitReminder);
    return false;
}

CPage* AddNamedPage(CSite& site, const std::string& identifier, const std::string& webName,
                    CUserInteraction& ui) {
    if (!CanAddPage(&site)) return nullptr;
    if (identifier.empty() || !site.IsIdentifierFree(identifier)) {
        RefuseIdentifier(ui);
        return nullptr;
    }
    CPage& page = site.AddPage(std::make_unique<CPage>(site, identifier, webName));
    site.MarkModified();
    return &page;
}

bool CanDeletePage(int openWindows) {
    return openWindows >= 2;
}

int ConfirmAndDeletePage(CSite& site, CPage& page, CUserInteraction& ui) {
    if (site.IndexOf(page) < 0 || !AskJaNej(ui, kDeleteCaption, kDeleteText)) return -1;
    return site.DeletePage(page);
}

std::vector<std::string> ShowPageMenuEntries(const CSite& site) {
    std::vector<std::string> entries;
    entries.reserve(site.Pages().size());
    for (const auto& page : site.Pages()) {
        std::string entry = page->Identifier();
        if (page->IsFrontPage()) entry += CStringTable::Get(IDS_FRONT_PAGE_SUFFIX);
        entries.push_back(std::move(entry));
    }
    return entries;
}

CSiteDefaults DefaultsOf(const CSite& site) {
    CSiteDefaults d;
    d.width = site.defaultWidth;
    d.height = site.defaultHeight;
    d.fill = site.DefaultFill();
    d.unvisitedLink = site.unvisitedLinkColour;
    d.visitedLink = site.visitedLinkColour;
    return d;
}

void ApplySiteDefaults(CSite& site, const CSiteDefaults& d) {
    site.defaultWidth = ClampPageWidth(d.width);
    site.defaultHeight = ClampPageHeight(d.height);
    site.SetDefaultFill(d.fill);
    site.unvisitedLinkColour = d.unvisitedLink;
    site.visitedLinkColour = d.visitedLink;
    site.MarkModified();
}

TextLinkRefresh& TextLinkRefreshHook() {
    static TextLinkRefresh hook = [](CPage& page) {
        for (const auto& item : page.Items()) {
            if (item->Normal().GetKind() == KIND_TEXT) item->Normal().Invalidate();
            if (CPageObject* twin = item->MouseOver(); twin && twin->GetKind() == KIND_TEXT)
                twin->Invalidate();
        }
    };
    return hook;
}

namespace {
// The page's fill keeps what the dialog does not set (whether a picture is
// tiled); type, colour, picture, gradient and direction come from the dialog.
std::unique_ptr<CBackgroundFill> TransferredFill(const CBackgroundFill& old,
                                                 const CBackgroundFill& d) {
    auto fill = std::make_unique<CBackgroundFill>(old);
    CFillGradient gradient = d.GetGradient();
    gradient.angle = d.IsHorizontal() ? 0 : 90;
    fill->SetGradient(gradient);
    fill->SetHorizontal(d.IsHorizontal());
    fill->SetImagePath(d.GetImagePath());
    fill->SetColour(d.GetColour());
    fill->SetType(d.GetType());
    return fill;
}
} // namespace

bool TransferDefaultsToPages(CSite& site, const CSiteDefaults& d, CUserInteraction& ui) {
    if (!AskJaNej(ui, kTransferCaption, kTransferText)) return false;
    CWaitScope wait(ui);
    // Decided once for the whole site: after the first page the stored
    // colours already match, and the other pages' texts would keep the old
    // link colours.
    const bool linkColoursChange = !(site.unvisitedLinkColour == d.unvisitedLink) ||
                                   !(site.visitedLinkColour == d.visitedLink);
    site.unvisitedLinkColour = d.unvisitedLink;
    site.visitedLinkColour = d.visitedLink;
    for (const auto& page : site.Pages()) {
        page->RecordUndo(EUndoKind::PageProperties);
        page->SetWidth(ClampPageWidth(d.width));
        page->SetHeight(ClampPageHeight(d.height));
        page->SetBackground(TransferredFill(page->Background(), d.fill));
        if (linkColoursChange && TextLinkRefreshHook()) TextLinkRefreshHook()(*page);
        page->Repaint();
    }
    site.MarkModified();
    return true;
}

bool ApplyMetaTags(CSite& site, const std::string& keywords, const std::string& description,
                   CFailure* failure) {
    if (!TextFitsRecord(keywords, kMaxStringLength, "Nøgleordene", failure) ||
        !TextFitsRecord(description, kMaxStringLength, "Beskrivelsen", failure))
        return false;
    site.keywords = keywords;
    site.description = description;
    site.MarkModified();
    return true;
}

void ApplyHeadHtml(CPage& page, const std::string& headerHtml, const std::string& onloadCode,
                   const std::vector<std::string>& usedFiles) {
    if (headerHtml == page.HeaderHtml() && onloadCode == page.OnloadCode() &&
        usedFiles == page.UsedFiles())
        return;
    page.RecordUndo(EUndoKind::PageProperties);
    page.SetHeadHtml(headerHtml, onloadCode, usedFiles);
}
