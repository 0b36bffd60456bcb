#include "publish/InternetSetup.h"
#include "services/Settings.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"

namespace {

// The naming rules the catalog check applies, shown when it fails.
constexpr const char* kCatalogRules =
    "Navnet på WWW mappen må kun indeholde bogstaverne a-z og A-Z, tallene 0-9 og tegnene "
    "- . ~ _ samt \\ eller / mellem mapperne. Et mappenavn må ikke begynde med et tal.";

CChoice ChoiceFor(int id, std::string text = {}) {
    const CDialogText& d = CStringTable::Dialog(id);
    return {id, d.caption, text.empty() ? d.text : std::move(text), d.buttons, d.checkBox, false};
}

} // namespace

CInternetSetup::CInternetSetup(const CSettings& settings, CUserInteraction& ui)
    : values(settings.GetConnection()), m_ui(ui), m_profiles(settings.GetFtpProfiles()) {}

CInternetSetup::EField CInternetSetup::InitialFocus() const {
    if (values.server.empty()) return EField::Server;
    if (values.user.empty()) return EField::User;
    return EField::None;
}

void CInternetSetup::ChooseProfile(size_t index) {
    if (index >= m_profiles.size()) return;
    values = m_profiles[index];
    m_selected = index;
}

bool CInternetSetup::SaveProfile() {
    const CDialogText& d = CStringTable::Dialog(IDD_SAVE_PROFILE);
    std::string name = m_selected ? m_profiles[*m_selected].name : std::string();
    if (!m_ui.AskText(d.caption, d.text, name) || name.empty()) return false;
    CFtpProfile profile = values;
    profile.name = name;
    m_selected = ::SaveProfile(m_profiles, profile);
    return true;
}

bool CInternetSetup::DeleteSelectedProfile() {
    if (!m_selected || *m_selected >= m_profiles.size()) return false;
    if (m_ui.Choose(ChoiceFor(IDD_DELETE_PROFILE)).button != 0) return false;
    m_selected = DeleteProfile(m_profiles, *m_selected);
    if (m_selected) ChooseProfile(*m_selected);
    return true;
}

void CInternetSetup::SetKind(EConnectionKind kind) {
    auto usualPort = [](EConnectionKind k) { return k == EConnectionKind::Sftp ? 22 : 21; };
    if (values.port == usualPort(values.kind)) values.port = usualPort(kind);
    values.kind = kind;
}

CInternetSetup::CAdvanced CInternetSetup::Advanced() const {
    return {values.port,      values.passive,   values.proxyType,     values.proxyServer,
            values.proxyPort, values.proxyUser, values.proxyPassword};
}

void CInternetSetup::ApplyAdvanced(const CAdvanced& advanced) {
    values.port = advanced.port;
    values.passive = advanced.passive;
    values.proxyType = advanced.proxyType;
    const bool proxy = advanced.proxyType != 0;
    values.proxyServer = proxy ? advanced.proxyServer : "";
    values.proxyPort = proxy ? advanced.proxyPort : 0;
    values.proxyUser = proxy ? advanced.proxyUser : "";
    values.proxyPassword = proxy ? advanced.proxyPassword : "";
}

CInternetSetup::EOkResult CInternetSetup::Ok(CSettings& settings) {
    if (!IsValidCatalog(values.catalog)) {
        const int button = m_ui.Choose(ChoiceFor(IDD_INVALID_CATALOG, kCatalogRules)).button;
        return button == 0 ? EOkResult::Retry : EOkResult::Cancelled;
    }
    settings.SetConnection(values);
    settings.SetFtpProfiles(m_profiles);
    return EOkResult::Stored;
}
