#pragma once
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Why the last call on a CFtp failed (GetStatus), and why a connection could
// not be made (CFtpConnectError::GetStatus). Publishing only tells apart
// "stopped by the user" (5), "the server went away" (1, 2, 8) and "no such
// directory" (6); the rest are there to make error reports readable.
enum FtpStatus : int {
    FTP_OK = 0,
    FTP_CLOSED = 1,       // the server closed the control connection, or it broke
    FTP_DATA_LOST = 2,    // the data connection broke in the middle of a transfer
    FTP_REFUSED = 3,      // the server answered the command with an error
    FTP_LOCAL_FILE = 4,   // put: the local file could not be opened or read
    FTP_STOPPED = 5,      // the progress callback returned 0
    FTP_NO_DIRECTORY = 6, // chdir: the directory does not exist (or may not be entered)
    FTP_BAD_NAME = 7,     // a name that is not one path component (refused, nothing sent)
    FTP_TIMEOUT = 8,      // the server stopped answering
    FTP_LOGIN = 9,        // constructor: user name or password refused
    FTP_UNREACHABLE = 10, // constructor: host unknown, nothing listening, or proxy unusable
    FTP_TLS = 11,         // secure connection refused, or the certificate is not trusted
    FTP_INTERNAL = 12,    // the transfer library failed in some other way
    FTP_CERTIFICATE = 13, // constructor: the server's certificate could not be verified
    FTP_HOST_KEY_UNKNOWN = 14, // constructor (SFTP): the server's key is not known; refused
    FTP_HOST_KEY_CHANGED = 15, // constructor (SFTP): the server shows another key than known
};

// Receives the number of bytes sent since the previous call (counted in the
// local file, so the calls of one put add up to the file's size), and is
// asked with 0 every few milliseconds of every command and transfer.
// Returns non-zero to go on, 0 to stop: the command or transfer then ends
// at once with FTP_STOPPED and the connection is dropped (the next command
// makes a new one).
using FtpProgressFn = std::function<int(int)>;

// Connection details that the classic FTP settings do not cover.
struct CFtpOptions {
    // FTP over explicit TLS ("AUTH TLS"): the login and every data
    // connection are encrypted and the server certificate must be trusted
    // and name the server. Plain FTP sends the password in clear text.
    bool tls = false;
    // SFTP instead of FTP: the files go over an SSH connection (the port is
    // then usually 22). The server's host key must be in `knownHosts`; the
    // login is by `keyFile` (the password then unlocks the key, if it needs
    // that), else by password, else by the keys of the running ssh-agent.
    bool sftp = false;
    std::filesystem::path keyFile;
    // Empty: ~/.ssh/known_hosts.
    std::filesystem::path knownHosts;
    // The fingerprint of an unknown host key the user accepted: the key is
    // then used and added to `knownHosts`. Never accepts a changed key.
    std::string acceptHostKey;
    // A file of trusted CA certificates (PEM) used instead of the system's;
    // empty for the system store.
    std::filesystem::path caFile;
    int connectTimeoutSeconds = 30;
    // How long a started command or transfer may go without any progress.
    int idleTimeoutSeconds = 60;
};

// Where the time of a session goes: the transfer library's perform calls
// (network waits included) against everything around them.
struct CFtpTimings {
    long long performs = 0;
    std::chrono::nanoseconds inPerform{0};
};

// Thrown by the constructors when no logged-in connection could be made.
// The flags passed to the constructor say why as well.
class CFtpConnectError : public std::runtime_error {
public:
    CFtpConnectError(int status, const std::string& what, std::string fingerprint = {})
        : std::runtime_error(what), m_status(status), m_fingerprint(std::move(fingerprint)) {}
    int GetStatus() const { return m_status; }
    // FTP_HOST_KEY_UNKNOWN and _CHANGED: the fingerprint of the key the
    // server showed ("SHA256:...").
    const std::string& GetFingerprint() const { return m_fingerprint; }

private:
    int m_status;
    std::string m_fingerprint;
};

// One logged-in FTP or SFTP connection. Made for one publish or remove run
// and deleted at its end; never called from two threads at once.
//
// The remote working directory is kept by this object as the list of path
// components below the login directory. Every command names the directory
// it works in, and the transfer library changes there first when the
// server is elsewhere, so the server's working directory may lag behind
// GetCurrentDir() until the next command; it never matters. For the same
// reason a connection the server dropped while idle is simply made again
// (login included) by the next command; a command that fails because the
// connection broke under it reports FTP_CLOSED, FTP_DATA_LOST or FTP_TIMEOUT.
//
// Names given to chdir, mkdir, put, remove and rmdir must be one path
// component: no slash or backslash, no control characters (they could smuggle
// a second command onto the control connection). Such a name fails with
// FTP_BAD_NAME before anything is sent.
class CFtp {
public:
    enum ProxyType { Socks4 = 0, Socks5 = 1 };

    // Connects and logs in; the working directory is the login directory.
    // On failure throws CFtpConnectError with these flags:
    //   unreachable     - the server's name is unknown or nothing answers at
    //                     the port, or the secure connection failed;
    //   loginRefused    - the server refused the user name or password;
    //   networkOk       - cleared when no connection could be opened at all
    //                     (the proxy did not answer or refused), set otherwise.
    // `passive` chooses data connections opened by us (passive) or by the
    // server (active). Through a proxy, and for TLS with a libcurl that
    // cannot protect server-opened connections, passive is used regardless.
    // `progress` may be empty.
    CFtp(bool& unreachable, bool& loginRefused, bool& networkOk, const std::string& server,
         int port, const std::string& user, const std::string& password, bool passive,
         const std::string& proxyServer, int proxyPort, const std::string& proxyUser,
         const std::string& proxyPassword, ProxyType proxyType, FtpProgressFn progress,
         const CFtpOptions& options = {});
    CFtp(bool& unreachable, bool& loginRefused, bool& networkOk, const std::string& server,
         int port, const std::string& user, const std::string& password, bool passive,
         FtpProgressFn progress, const CFtpOptions& options = {});
    ~CFtp();
    CFtp(const CFtp&) = delete;
    CFtp& operator=(const CFtp&) = delete;

    // Enters `name` below the current directory, or goes up one level for
    // "..". False with FTP_NO_DIRECTORY when the directory does not exist.
    bool chdir(const std::string& name);
    // Creates `name` in the current directory.
    bool mkdir(const std::string& name);
    // Stores the local file under `remoteName` in the current directory,
    // replacing a file of that name. Binary sends the bytes unchanged; text
    // sends every line end (LF or CR LF in the file) as the CR LF of FTP's
    // text type, and the server stores its own line ending.
    // The upload goes to a temporary name first and is renamed over the old
    // file only when complete, so a broken or stopped upload leaves the
    // previous file in place. On a server that refuses that rename (found
    // out once per connection) uploads go straight to the final name: the
    // live file is never deleted first, but a broken upload leaves it
    // truncated (UploadsInPlace says so).
    bool put(const std::filesystem::path& localPath, const std::string& remoteName, bool binary);
    // True once the server refused to rename an upload over a file.
    bool UploadsInPlace() const;
    // SFTP: why an accepted host key could not be stored in the known-hosts
    // file (it was used all the same); empty when it was, or nothing was asked.
    std::string HostKeyNotStored() const;
    // Deletes the file `name` in the current directory.
    bool remove(const std::string& name);
    // Removes the empty directory `name` in the current directory.
    bool rmdir(const std::string& name);
    // Deletes every file of the current directory whose name matches
    // `pattern` ('*' and '?' wildcards; "*.*" and "*" match every name) and is
    // not one of `exclusions` (compared exactly). Directories are never
    // deleted. True when every such file was deleted.
    bool mdel_excludefiles(const std::string& pattern, const std::vector<std::string>& exclusions);

    // The plain files of the current directory with their sizes (-1 where
    // the server does not tell them).
    bool list(std::map<std::string, long long>& sizes);

    // Status of the last call: FTP_OK after success.
    int GetStatus() const;
    // Readable description of the last failure (the server's reply or the
    // transfer library's message), empty after success.
    const std::string& GetLastError() const;
    // Working directory below the login directory, components joined with
    // '/'; empty in the login directory.
    std::string GetCurrentDir() const;
    CFtpTimings GetTimings() const;
    // Ends the connection without a goodbye (after the user stopped the
    // run): the server learns of it as of a dropped line, and the object
    // can then go without waiting for a distant server's answer.
    void Abandon();

    // Matches one name against an mdel pattern (exposed for its tests).
    static bool MatchesPattern(const std::string& pattern, const std::string& name);

private:
    class CImpl;
    std::unique_ptr<CImpl> m_impl;
};
