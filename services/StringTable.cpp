#include "services/StringTable.h"
#include <map>

namespace {

// The program's string table. Add new texts here, keeping ids ascending;
// give them a name in StringIds.h when code refers to them.
const std::map<int, std::string>& Strings() {
    static const std::map<int, std::string> table = {
        {IDS_BUILD_NO_FOLDER,
         "Kunne ikke skabe et midletidigt katalog på den lokale maskine til filerne"},
        {IDS_BUILD_VALIDATING, "Validerer Side:"},
        {IDS_BUILD_DATA, "Opbygger Data:"},
        {IDS_BUILD_MOUSEOVER_OVERLAPPED,
         "Et MusOver objekt må ikke overlappes af andre objekter på siden."},
        {IDS_BUILD_WRITING, "Skriver Side:"},
        {IDS_BUILD_CANNOT_WRITE, "Kunne ikke skrive %s"},
        {IDS_PAGE_FILE_PREFIX, "Side"},
        {IDS_ACCESS_NO_ALT_TEXT, "Side %s, objekt %s: billedet har ingen alternativ tekst"},
        {IDS_ACCESS_MISSING_PAGE,
         "Side %s, objekt %s: linket fører til side %s, som ikke findes"},
        {IDS_ACCESS_MISSING_FILE, "Side %s, objekt %s: linket fører til en fil, som ikke findes: %s"},
        {IDS_ACCESS_LOW_CONTRAST,
         "Side %s, objekt %s: teksten \"%s\" står for svagt mod baggrunden (kontrast %s:1, "
         "mindst 4,5:1)"},
        {IDS_ACCESS_NOTHING_FOUND, "Tilgængelighed: intet at bemærke"},
        {IDS_ACCESS_HEADING, "Tilgængelighed: %s fund"},

        {IDS_HINT_RESIZE_KEYS, "(+Ctrl bevarer størrelsesforhold)    (+Shift skalerer ensartet)"},
        {IDS_HINT_ROTATE_KEYS, "(+Ctrl roterer med 45°)"},
        {IDS_HINT_EDIT_TEXT, "Klik for at redigere teksten"},
        {IDS_HINT_TEXT_WIDTH, "Skift bredde af tekstområde"},
        {IDS_HINT_MOVE_TEXT_AREA, "Flyt tekstområde"},
        {IDS_HINT_RESIZE, "Klik for at ændre objektets størrelse"},
        {IDS_HINT_ROTATE, "Klik for at rotere objektet"},
        {IDS_HINT_MOVE, "Klik for at flytte objektet"},
        {IDS_HINT_PIPETTE, "Klik for at samle farven under musen op i værktøjskassen."},
        {IDS_SECONDS, "sekunder"},
        {IDS_FRONT_PAGE_SUFFIX, " (forside)"},

        {IDS_MENU_HIDE_GUIDES, "Skjul Hjælpelinier"},
        {IDS_MENU_SHOW_GUIDES, "Vis Hjælpelinier"},
        {IDS_UNTITLED, "Ikke navngivet"},
        {IDS_MENU_GROUP_UNGROUP, "Skab/fjern gruppe\tCtrl+G"},
        {IDS_MENU_UNGROUP, "Fjern gruppe\tCtrl+G"},
        {IDS_MENU_GROUP, "Skab gruppe\tCtrl+G"},
        {IDS_PAGE_ID_NOT_UNIQUE, "Ikke unik side identifikation, vælg et andet navn."},
        {IDS_PAGE_ID_PREFIX, "Side"},

        {IDS_UNDO_LABEL + 0, "indsæt"},
        {IDS_UNDO_LABEL + 1, "slet"},
        {IDS_UNDO_LABEL + 2, "flyt"},
        {IDS_UNDO_LABEL + 3, "tekst"},
        {IDS_UNDO_LABEL + 4, "tekstvisning"},
        {IDS_UNDO_LABEL + 5, "udfyldning"},
        {IDS_UNDO_LABEL + 6, "effekter"},
        {IDS_UNDO_LABEL + 7, "typografi"},
        {IDS_UNDO_LABEL + 8, "link"},
        {IDS_UNDO_LABEL + 9, "tilføj MusOver"},
        {IDS_UNDO_LABEL + 10, "fjern MusOver"},
        {IDS_UNDO_LABEL + 11, "MusOver indstillinger"},
        {IDS_UNDO_LABEL + 13, "rækkefølge"},
        {IDS_UNDO_LABEL + 14, "gruppering"},
        {IDS_UNDO_LABEL + 15, "sideegenskaber"},
        {IDS_UNDO_LABEL + 17, "objektegenskaber"},
        {IDS_MENU_UNDO, "&Fortryd %s\tCtrl+Z"},
        {IDS_MENU_REDO, "&Gentag %s\tCtrl+Y"},
        {IDS_MENU_UNDO_PLAIN, "&Fortryd\tCtrl+Z"},
        {IDS_MENU_REDO_PLAIN, "&Gentag\tCtrl+Y"},

        {IDS_NEED_16BIT_COLOUR,
         "Mindstekravet for Pagewright er 16-bit farver.\n"
         "Hvis dit grafikkort understøtter ægte farver\n"
         "anbefales det at du benytter dette. Du kan\n"
         "foretage denne ændring under opsætninger\n"
         "for Skærm i kontrolpanelet."},
        {IDS_NEED_BROWSER,
         "For at kunne benytte Pagewright skal der være\n"
         "en webbrowser installeret på maskinen.\n"
         "Installer en webbrowser med din distributions\n"
         "pakkehåndtering og start Pagewright igen."},

        {IDS_DROP_ONE_FILE_ONLY, "Du kan kun åbne en enkelt .pwu file ad gangen."},
        {IDS_DROP_SITE_FILES_ONLY, "Du kan kun benytte filer af typen .pwu."},
        {IDS_NOTICE_OLD_BROWSER,
         "This page requires version 4.0 or newer of Microsoft Internet Explorer or\n"
         "version 4.0 or newer of Netscape Navigator"},
        {IDS_NOTICE_NO_SCRIPT, "Denne side kræver javascripts. Du kan slå denne feature til "
                               "igennem din browsers indstillinger."},
        {IDS_CHOOSE_EXPORT_FOLDER, "Vælg Export Katalog"},

        {IDS_PANE_PAGE_COUNT, "Antal sider : 10"},
        {IDS_PANE_DOWNLOAD_TIME, "9999 sekunder / 9999 sekunder"},
        {IDS_PANE_POSITION, "x: 9999  y: 9999"},
    };
    return table;
}

// The fixed dialogs. Where a dialog's body is composed by its caller (page
// names, paths, reasons) only the caption and buttons are here.
const std::map<int, CDialogText>& Dialogs() {
    static const std::map<int, CDialogText> table = {
        {IDD_BUILD_STATUS, {"Status for opbygning af hjemmeside", "", {"Annuller"}, ""}},
        {IDD_BUILD_ERROR,
         {"Fejl under opbygningen",
          "Hjemmesiden har ikke et format der kan genskabes korrekt på Internettet.",
          {"OK"},
          ""}},
        {IDD_LARGE_OBJECTS,
         {"Store objekter på hjemmesiden",
          "Siden \"%s\" indeholder meget store objekter. Store billeder gør hjemmesiden "
          "langsom at hente fra Internettet.",
          {"&Afbryd", "&Fortsæt"},
          "Vis ikke denne dialog-boks igen"}},

        {IDD_INTERNET_SETUP, {"Internet Opsætning", "", {"OK", "Annuller"}, ""}},
        {IDD_UPLOAD_STATUS, {"Status for opsendelse af hjemmeside", "", {"Afbryd"}, ""}},
        {IDD_REMOVE_SITE, {"Slet filer fra serveren", "", {"&Ja", "&Nej"}, ""}},
        {IDD_NO_NETWORK,
         {"Ingen forbindelse",
          "Der kunne ikke åbnes en forbindelse til Internettet. Kontroller din "
          "netværksforbindelse og proxy-indstillingerne.",
          {"OK"},
          ""}},
        {IDD_SERVER_UNREACHABLE,
         {"Serveren svarer ikke",
          "Serveren \"%s\" kunne ikke kontaktes. Kontroller navnet på serveren og porten.",
          {"Kontroller", "OK"},
          ""}},
        {IDD_LOGIN_REFUSED,
         {"Login afvist",
          "Serveren \"%s\" afviste brugernavnet eller passwordet.",
          {"Kontroller", "OK"},
          ""}},
        {IDD_MISSING_INTERNET_SETTINGS,
         {"Manglende Internet Opsætning", "", {"&Indtast information", "Annuller"}, ""}},
        {IDD_CANNOT_CREATE_FOLDER, {"Kunne ikke skabe katalog", "", {"OK"}, ""}},
        {IDD_DELETE_FAILED, {"Fejl under sletning af filer", "", {"OK"}, ""}},
        {IDD_UPLOAD_FAILED, {"Fejl under opsending", "", {"OK"}, ""}},
        {IDD_SITE_REMOVED, {"Hjemmesiden er nu slettet", "", {"OK"}, ""}},
        {IDD_READ_FOLDER_FAILED, {"Der er opstået en fejl", "", {"OK"}, ""}},
        {IDD_CONNECTION_LOST, {"Forbindelsen blev afbrudt", "", {"OK"}, ""}},
        {IDD_MISSING_DOCUMENT, {"Et dokument mangler", "", {"OK"}, ""}},
        {IDD_SEND_DOWNLOADS,
         {"Skal filer opsendes", "", {"Ja", "Nej"}, "Spørg ikke om dette igen"}},
        {IDD_ADVANCED_SETTINGS, {"Avancerede indstillinger", "", {"OK", "Annuller", "Standard"}, ""}},
        {IDD_SAVE_PROFILE, {"Gem profil", "Profilens navn:", {"OK", "Annuller"}, ""}},
        {IDD_DELETE_PROFILE,
         {"Slet profil", "Vil du slette den valgte profil?", {"&Ja", "&Nej"}, ""}},
        {IDD_CONNECTING, {"Etablerer forbindelse", "", {}, ""}},
        {IDD_SEND, {"Send", "", {"&Send ændringer", "&Send alt", "Annuller"}, ""}},
        {IDD_DELETE_SERVER_FILES,
         {"Sletter filer fra serveren", "", {"&Fortsæt", "Annuller"}, ""}},
        {IDD_PUBLISHED, {"Succesfuld Offentliggørelse", "", {"OK"}, ""}},
        {IDD_SITE_NOT_SAVED,
         {"Hjemmesiden har ikke været gemt før", "", {"&Gem hjemmeside", "Annuller"}, ""}},
        {IDD_INVALID_CATALOG, {"Ulovlig navngivning", "", {"&Prøv igen", "&Fortryd"}, ""}},
        {IDD_CERTIFICATE_REFUSED,
         {"Certifikatet kunne ikke godkendes",
          "Serveren \"%s\" svarede, men dens certifikat kunne ikke verificeres, så "
          "forbindelsen blev ikke brugt.\n\nÅrsag: %s",
          {"Kontroller", "OK"},
          ""}},
        {IDD_HOST_KEY_UNKNOWN,
         {"Ukendt server",
          "Serveren \"%s\" er ikke kendt på denne computer. Den viser nøglen med "
          "fingeraftrykket\n\n%s\n\nSammenlign det med det fingeraftryk, din udbyder "
          "oplyser. Vil du stole på serveren og gemme nøglen?",
          {"&Ja", "&Nej"},
          ""}},
        {IDD_HOST_KEY_CHANGED,
         {"Serverens nøgle er ændret",
          "Serveren \"%s\" viser en anden nøgle end den, der er gemt i %s. Den viser nu "
          "fingeraftrykket\n\n%s\n\nEn anden kan udgive sig for serveren, så forbindelsen "
          "blev ikke brugt. Spørg din udbyder, om nøglen er skiftet; i så fald skal den gamle "
          "linje fjernes fra filen.",
          {"OK"},
          ""}},
        {IDD_HOST_KEY_NOT_STORED,
         {"Nøglen blev ikke gemt",
          "Serverens nøgle blev godkendt til denne gang, men kunne ikke gemmes, så du bliver "
          "spurgt igen næste gang.\n\nÅrsag: %s",
          {"OK"},
          ""}},
        {IDD_PUBLISH_BUSY,
         {"Offentliggørelse er i gang",
          "Hjemmesiden eller serveren \"%s\" bliver allerede offentliggjort fra et andet "
          "vindue eller program. Vent til det er færdigt, og prøv igen.",
          {"OK"},
          ""}},
        {IDD_NO_SNIPPETS,
         {"Kan ikke vælge en html kode",
          "Der er ikke installeret nogle html koder. Prøv eventuelt at geninstallere Pagewright.",
          {"OK"},
          ""}},
    };
    return table;
}

} // namespace

const std::string& CStringTable::Get(int id) {
    static const std::string empty;
    const auto& table = Strings();
    const auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

bool CStringTable::Has(int id) { return Strings().count(id) != 0; }

std::vector<int> CStringTable::Ids() {
    std::vector<int> ids;
    for (const auto& [id, text] : Strings()) ids.push_back(id);
    return ids;
}

const CDialogText& CStringTable::Dialog(int id) {
    static const CDialogText empty;
    const auto& table = Dialogs();
    const auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

bool CStringTable::HasDialog(int id) { return Dialogs().count(id) != 0; }

std::string CStringTable::FillIn(std::string_view pattern,
                                 std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size());
    auto next = values.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == 's') {
                if (next != values.end()) out += *next++;
                ++i;
                continue;
            }
            if (pattern[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}
