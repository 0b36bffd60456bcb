#include "publish/FtpSession.h"
#include "publish/PublishEnvironment.h"
#include "services/Settings.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"

namespace {

void Report(CUserInteraction& ui, int id, const std::string& text) {
    const CDialogText& d = CStringTable::Dialog(id);
    ui.Message({id, d.caption, text.empty() ? d.caption : text, CMessage::Icon::Error,
                CMessage::Buttons::Ok});
}

// Dialogs 475 and 476 offer to check the settings.
void ReportWithCheck(CPublishEnvironment& env, int id) {
    const CDialogText& d = CStringTable::Dialog(id);
    CChoice choice{
        id,        d.caption, CStringTable::FillIn(d.text, {env.settings.GetFtpServer()}),
        d.buttons, "",        false};
    if (env.ui.Choose(choice).button == 0 && env.editInternetSettings) env.editInternetSettings();
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
    if (s.GetFtpServer().empty() || s.GetFtpUser().empty() || s.GetFtpPassword().empty())
        return false;
    if (s.GetFtpProxyType() == 0) return true;
    return !s.GetFtpProxyServer().empty() && !s.GetFtpProxyUser().empty() &&
           !s.GetFtpProxyPassword().empty();
}

std::string CFtpSession::Destination(const CPublishEnvironment& env) {
    return env.settings.GetFtpServer() + "\\" + env.settings.GetFtpCatalog();
}

bool CFtpSession::Connect(FtpProgressFn progress) {
    const CSettings& s = m_env.settings;
    CFtpOptions options = m_env.ftpOptions;
    options.tls = s.GetFtpTls();
    bool unreachable = false, loginRefused = false, networkOk = true;
    int status = FTP_OK;
    std::string why;
    {
        const CDialogText& d = CStringTable::Dialog(IDD_CONNECTING);
        auto window = m_env.ui.OpenProgress(IDD_CONNECTING, d.caption);
        if (window) window->SetPhase(s.GetFtpServer());
        try {
            if (s.GetFtpProxyType() == 0)
                m_ftp =
                    std::make_unique<CFtp>(unreachable, loginRefused, networkOk, s.GetFtpServer(),
                                           s.GetFtpPort(), s.GetFtpUser(), s.GetFtpPassword(),
                                           s.GetFtpPassive(), std::move(progress), options);
            else
                m_ftp = std::make_unique<CFtp>(
                    unreachable, loginRefused, networkOk, s.GetFtpServer(), s.GetFtpPort(),
                    s.GetFtpUser(), s.GetFtpPassword(), s.GetFtpPassive(), s.GetFtpProxyServer(),
                    s.GetFtpProxyPort(), s.GetFtpProxyUser(), s.GetFtpProxyPassword(),
                    s.GetFtpProxyType() == 1 ? CFtp::Socks4 : CFtp::Socks5, std::move(progress),
                    options);
        } catch (const CFtpConnectError& error) {
            m_ftp.reset();
            status = error.GetStatus();
            why = error.what();
        }
    }
    if (m_ftp) return true;
    if (status == FTP_CERTIFICATE) {
        const CDialogText& d = CStringTable::Dialog(IDD_CERTIFICATE_REFUSED);
        CChoice choice{IDD_CERTIFICATE_REFUSED,
                       d.caption,
                       CStringTable::FillIn(d.text, {s.GetFtpServer(), why}),
                       d.buttons,
                       "",
                       false};
        if (m_env.ui.Choose(choice).button == 0 && m_env.editInternetSettings)
            m_env.editInternetSettings();
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
