#pragma once
#include "services/FtpProfile.h"
#include <optional>
#include <vector>

class CSettings;
class CUserInteraction;

// The working state of the "Internet Opsætning" dialog, without its widgets:
// the designer's dialog shows these values and calls these operations, so
// the rules live here where they are tested. Nothing reaches the settings
// until Ok() stores them.
class CInternetSetup {
public:
    // The fields of the "Avancerede indstillinger" sub-dialog.
    struct CAdvanced {
        int port = 21;
        bool passive = false;
        int proxyType = 0; // 0 none ("- - - - - - - -"), 1 Socks4, 2 Socks5
        std::string proxyServer;
        int proxyPort = 0;
        std::string proxyUser;
        std::string proxyPassword;

        // What "Standard" puts into the sub-dialog.
        static CAdvanced Standard() { return {}; }
    };

    enum class EField { Server, User, None };
    enum class EOkResult { Stored, Retry, Cancelled };

    // Copies the connection settings and the profile list.
    CInternetSetup(const CSettings& settings, CUserInteraction& ui);

    // The values the dialog shows.
    CFtpProfile values;

    const std::vector<CFtpProfile>& Profiles() const { return m_profiles; }
    // The profile shown in the list; none at first and after the list empties.
    std::optional<size_t> Selected() const { return m_selected; }
    // Where the focus goes on opening: the first empty one of server and user.
    EField InitialFocus() const;

    // Copies every field of the chosen profile into the values.
    void ChooseProfile(size_t index);
    // "&Gem": asks for a name (dialog 540) and stores the values under it,
    // replacing a profile of exactly that name. False when cancelled or the
    // name is empty.
    bool SaveProfile();
    // "&Slet": asks (dialog 541) and removes the selected profile; the values
    // then come from the profile now in its place, or the new last one.
    bool DeleteSelectedProfile();

    // Picks the connection kind. A port left at the usual one of the old
    // kind (21 for FTP and FTPS, 22 for SFTP) follows to the new kind's.
    void SetKind(EConnectionKind kind);

    // The sub-dialog's fields from the values, and back on its OK: the proxy
    // fields are taken only with a proxy type, and cleared otherwise.
    CAdvanced Advanced() const;
    void ApplyAdvanced(const CAdvanced& advanced);

    // OK: an invalid catalog asks (dialog 5018) whether to try again or give
    // up; a valid one stores the values and the profiles into `settings`.
    EOkResult Ok(CSettings& settings);

private:
    CUserInteraction& m_ui;
    std::vector<CFtpProfile> m_profiles;
    std::optional<size_t> m_selected;
};
