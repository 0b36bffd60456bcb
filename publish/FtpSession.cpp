#include "publish/FtpSession.h"
#include "publish/PublishEnvironment.h"
#include "services/Settings.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"
#include <cstdlib>

namespace {

void Report(CUserInteraction& ui, int id, const std::string& text) {
    const CDialogText& d = CStringTable::Dialog(id);
    ui.Message({id, d.caption, text.empty() ? d.caption : text, CMessage::Icon::Error,
                CMessage::Buttons::Ok});
}

// Dialog `id` as a choice of its own buttons with its text filled in; the
// button pressed (-1: closed without one).
int Ask(CUserInteraction& ui, int id, std::initializer_list<std::string_view> values) {
    const CDialogText& d = CStringTable::Dialog(id);
    return ui.Choose({id, d.caption, CStringTable::FillIn(d.text, values), d.buttons, "", false})
        .button;
}

// Dialogs 475 and 476, and the refused certificate, offer to check the
// settings.
void ReportWithCheck(CPublishEnvironment& env, int id,
                     std::initializer_list<std::string_view> values) {
    if (Ask(env.ui, id, values) == 0 && env.editInternetSettings) env.editInternetSettings();
}

void ReportWithCheck(CPublishEnvironment& env, int id) {
    ReportWithCheck(env, id, {env.settings.GetFtpServer()});
}

} // namespace

std::vector<std::string> CatalogParts(const std::string& catalog) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= catalog.size()) {
        size_t end = catalog.find_first_of("/\\", start);
        if (end == std::string::npos) end = catalog.size();
        if (end > start) parts.push_back(catalog.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool ConnectionComplete(const CPublishEnvironment& env) {
    const CSettings& s = env.settings;
    if (s.GetFtpServer().empty() || s.GetFtpUser().empty()) return false;
    // SFTP may log in with a key file or the keys of the running ssh-agent.
    const bool sftp = s.GetFtpKind() == EConnectionKind::Sftp;
    if (s.GetFtpPassword().empty() &&
        !(sftp && (!s.GetFtpKeyFile().empty() || std::getenv("SSH_AUTH_SOCK"))))
        return false;
    if (s.GetFtpProxyType() == 0) return true;
    return !s.GetFtpProxyServer().empty() && !s.GetFtpProxyUser().empty() &&
           !s.GetFtpProxyPassword().empty();
}

std::string CFtpSession::Destination(const CPublishEnvironment& env) {
    return env.settings.GetFtpServer() + "\\" + env.settings.GetFtpCatalog();
}

CFtpOptions CFtpSession::Options() const {
    const CSettings& s = m_env.settings;
    CFtpOptions options = m_env.ftpOptions;
    options.tls = s.GetFtpKind() == EConnectionKind::Ftps;
    options.sftp = s.GetFtpKind() == EConnectionKind::Sftp;
    if (options.sftp && options.keyFile.empty()) options.keyFile = s.GetFtpKeyFile();
    if (options.acceptHostKey.empty()) options.acceptHostKey = m_acceptedHostKey;
    return options;
}

std::unique_ptr<CFtp> CFtpSession::Open(FtpProgressFn progress, bool& unreachable,
                                        bool& loginRefused, bool& networkOk) const {
    const CSettings& s = m_env.settings;
    if (s.GetFtpProxyType() == 0)
        return std::make_unique<CFtp>(unreachable, loginRefused, networkOk, s.GetFtpServer(),
                                      s.GetFtpPort(), s.GetFtpUser(), s.GetFtpPassword(),
                                      s.GetFtpPassive(), std::move(progress), Options());
    return std::make_unique<CFtp>(
        unreachable, loginRefused, networkOk, s.GetFtpServer(), s.GetFtpPort(), s.GetFtpUser(),
        s.GetFtpPassword(), s.GetFtpPassive(), s.GetFtpProxyServer(), s.GetFtpProxyPort(),
        s.GetFtpProxyUser(), s.GetFtpProxyPassword(),
        s.GetFtpProxyType() == 1 ? CFtp::Socks4 : CFtp::Socks5, std::move(progress), Options());
}

std::unique_ptr<CFtp> CFtpSession::OpenAnother(FtpProgressFn progress) const {
    bool unreachable = false, loginRefused = false, networkOk = true;
    try {
        return Open(std::move(progress), unreachable, loginRefused, networkOk);
    } catch (const CFtpConnectError&) {
        return nullptr;
    }
}

bool CFtpSession::Connect(FtpProgressFn progress) {
    const CSettings& s = m_env.settings;
    bool unreachable = false, loginRefused = false, networkOk = true;
    int status = FTP_OK;
    std::string why, fingerprint;
    {
        const CDialogText& d = CStringTable::Dialog(IDD_CONNECTING);
        auto window = m_env.ui.OpenProgress(IDD_CONNECTING, d.caption);
        if (window) window->SetPhase(s.GetFtpServer());
        try {
            m_ftp = Open(progress, unreachable, loginRefused, networkOk);
        } catch (const CFtpConnectError& error) {
            m_ftp.reset();
            status = error.GetStatus();
            why = error.what();
            fingerprint = error.GetFingerprint();
        }
    }
    if (m_ftp) {
        const std::string notStored = m_ftp->HostKeyNotStored();
        if (!notStored.empty()) {
            const CDialogText& d = CStringTable::Dialog(IDD_HOST_KEY_NOT_STORED);
            m_env.ui.Message({IDD_HOST_KEY_NOT_STORED, d.caption,
                              CStringTable::FillIn(d.text, {notStored}), CMessage::Icon::Warning,
                              CMessage::Buttons::Ok});
        }
        return true;
    }
    if (status == FTP_HOST_KEY_UNKNOWN && m_acceptedHostKey.empty() && !fingerprint.empty()) {
        // The user compares the fingerprint with the one the host publishes;
        // only that exact key is then trusted, once asked.
        if (Ask(m_env.ui, IDD_HOST_KEY_UNKNOWN, {s.GetFtpServer(), fingerprint}) != 0) {
            m_stopped = true;
            return false;
        }
        m_acceptedHostKey = fingerprint;
        return Connect(std::move(progress));
    }
    if (status == FTP_HOST_KEY_CHANGED) {
        const CDialogText& d = CStringTable::Dialog(IDD_HOST_KEY_CHANGED);
        const std::string file =
            Options().knownHosts.empty() ? "~/.ssh/known_hosts" : Options().knownHosts.string();
        m_env.ui.Message({IDD_HOST_KEY_CHANGED, d.caption,
                          CStringTable::FillIn(d.text, {s.GetFtpServer(), file, fingerprint}),
                          CMessage::Icon::Error, CMessage::Buttons::Ok});
    } else if (status == FTP_HOST_KEY_UNKNOWN) {
        // Accepted, yet the server showed another key on the second try.
        Report(m_env.ui, IDD_HOST_KEY_CHANGED,
               CStringTable::FillIn(CStringTable::Dialog(IDD_HOST_KEY_CHANGED).text,
                                    {s.GetFtpServer(), "", fingerprint}));
    } else if (status == FTP_CERTIFICATE) {
        ReportWithCheck(m_env, IDD_CERTIFICATE_REFUSED, {s.GetFtpServer(), why});
    } else if (unreachable)
        ReportWithCheck(m_env, IDD_SERVER_UNREACHABLE);
    else if (loginRefused)
        ReportWithCheck(m_env, IDD_LOGIN_REFUSED);
    else if (!networkOk)
        Report(m_env.ui, IDD_NO_NETWORK, CStringTable::Dialog(IDD_NO_NETWORK).text);
    else // a failure the flags do not explain still must not pass silently
        ReportWithCheck(m_env, IDD_SERVER_UNREACHABLE);
    return false;
}

void CFtpSession::Close() {
    if (m_ftp) m_timings = m_ftp->GetTimings();
    m_ftp.reset();
}

int CFtpSession::Fail(EFailure failure, const std::string& what) {
    const int status = m_ftp ? m_ftp->GetStatus() : FTP_CLOSED;
    return Fail(status, failure, what);
}

int CFtpSession::Fail(int status, EFailure failure, const std::string& what) {
    // A stopped run takes no leave of a server that may be far away.
    if (m_ftp && status == FTP_STOPPED) m_ftp->Abandon();
    Close();
    m_stopped = status == FTP_STOPPED;
    if (m_stopped) return status;
    if (status == FTP_CLOSED || status == FTP_DATA_LOST || status == FTP_TIMEOUT) {
        Report(m_env.ui, IDD_CONNECTION_LOST, "");
        return status;
    }
    switch (failure) {
    case EFailure::CreateFolder:
        Report(m_env.ui, IDD_CANNOT_CREATE_FOLDER, what);
        break;
    case EFailure::ReadFolder:
        Report(m_env.ui, IDD_READ_FOLDER_FAILED, what);
        break;
    case EFailure::Delete:
        Report(m_env.ui, IDD_DELETE_FAILED, what);
        break;
    case EFailure::Upload:
        Report(m_env.ui, IDD_UPLOAD_FAILED, what);
        break;
    }
    return status;
}
