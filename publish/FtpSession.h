#pragma once
#include "publish/Ftp.h"
#include <memory>
#include <string>
#include <vector>

struct CPublishEnvironment;

// One connection of a publish or remove run, with the error reports both
// runs share. The connection is closed before any report is shown.
class CFtpSession {
public:
    // What a failed call was doing; picks the report.
    enum class EFailure { CreateFolder, ReadFolder, Delete, Upload };

    explicit CFtpSession(CPublishEnvironment& env) : m_env(env) {}

    // Shows "Etablerer forbindelse" while connecting with the stored
    // settings (through the proxy when one is set). On failure reports why,
    // offers the settings dialog where that can help, and returns false.
    bool Connect(FtpProgressFn progress);

    CFtp& Ftp() { return *m_ftp; }
    // A further connection with the same settings after Connect succeeded,
    // for sending files side by side; null (and nothing shown) when the
    // server does not give one.
    std::unique_ptr<CFtp> OpenAnother(FtpProgressFn progress) const;
    // Ends the connection.
    void Close();

    // Where the time of the last connection went (kept after it closed).
    const CFtpTimings& Timings() const { return m_timings; }

    // Closes the connection and reports the last call's failure: nothing
    // when the user stopped it, "connection lost" when the server went away,
    // otherwise the report for what was being done. `what` names the folder
    // or file. Returns the status.
    int Fail(EFailure failure, const std::string& what);
    // The same for a failure whose status is known (of another connection).
    int Fail(int status, EFailure failure, const std::string& what);
    // True after Fail for a call the user stopped ("Afbryd"), or after the
    // user declined to trust an unknown server key.
    bool Stopped() const { return m_stopped; }

    // server + backslash + catalog, as the dialogs name the destination.
    static std::string Destination(const CPublishEnvironment& env);

private:
    CFtpOptions Options() const;
    std::unique_ptr<CFtp> Open(FtpProgressFn progress, bool& unreachable, bool& loginRefused,
                               bool& networkOk) const;

    CPublishEnvironment& m_env;
    std::string m_acceptedHostKey;
    std::unique_ptr<CFtp> m_ftp;
    bool m_stopped = false;
    CFtpTimings m_timings;
};

// The folder names of a catalog setting, split at every slash or backslash,
// empty parts dropped ("www\\site//a" gives www, site, a).
std::vector<std::string> CatalogParts(const std::string& catalog);

// The settings hold everything a connection needs: server, user and
// password (for SFTP a key file or a running ssh-agent will do instead),
// and with a proxy its server, user and password.
bool ConnectionComplete(const CPublishEnvironment& env);
