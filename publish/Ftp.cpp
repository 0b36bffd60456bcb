#include "publish/Ftp.h"
#include "publish/FtpReplies.h"
#include "publish/CurlRunner.h"
#include "publish/CurlSupport.h"
#include "publish/FtpUpload.h"
#include "publish/Sftp.h"
#include <algorithm>
#include <chrono>
#include <map>
#include <cstdio>
#include <cstdlib>
#include <curl/curl.h>

// Everything goes through one libcurl easy handle, run by one multi handle
// (CCurlRunner) whose connection cache keeps the control connection open
// between commands, so the login of the constructor serves every later
// command. Each command is one transfer on a URL that names the directory it
// works in:
//   - a directory URL with CURLOPT_NOBODY makes libcurl change into that
//     directory (CWD, which is how chdir finds out whether it exists);
//   - CURLOPT_POSTQUOTE then sends MKD, RMD, DELE or RNFR/RNTO there;
//   - put uploads to a file URL; a listing is a directory URL with MLSD as
//     CURLOPT_CUSTOMREQUEST.
// libcurl changes directory from the login directory and skips the CWD when
// the server is already there. When the server has dropped an idle
// connection, libcurl logs in again on the next command and changes to the
// named directory, so the session goes on.
//
// SFTP uses the same handle and the same URLs under "sftp://host:port/~/"
// (the login folder). It has no working directory, so commands name full
// paths; a directory is entered by listing it, and the quote commands are
// SFTP's own (mkdir, rmdir, rm, rename), run before (QUOTE) or after
// (POSTQUOTE) the transfer.

using namespace pw::curl;

class CFtp::CImpl {
public:
    CImpl(const std::string& server, int port, const std::string& user, const std::string& password,
          bool passive, FtpProgressFn progress, const CFtpOptions& options)
        : m_user(user), m_password(password), m_passive(passive), m_options(options) {
        EnsureGlobal();
        m_curl = curl_easy_init();
        // A stop, whether asked for while bytes go or between them, drops
        // the line at once (CCurlRunner).
        m_progress = [this, progress = std::move(progress)](int bytes) {
            if (!progress || progress(bytes) != 0) return 1;
            if (m_runner) m_runner->DropLine();
            return 0;
        };
        m_runner = std::make_unique<CCurlRunner>(m_curl, [this] { return m_progress(0) == 0; });
        m_sftp = m_options.sftp;
        m_base = MakeBaseUrl(server, port);
        if (m_options.tls && ActiveTlsBroken()) m_passive = true;
        m_hostKey.knownHosts =
            m_options.knownHosts.empty() ? DefaultKnownHostsFile() : m_options.knownHosts;
        m_hostKey.host = m_host;
        m_hostKey.port = port;
        m_hostKey.accept = m_options.acceptHostKey;
    }
    ~CImpl() {
        m_runner.reset(); // takes leave of the server first
        if (m_curl) curl_easy_cleanup(m_curl);
    }

    void Abandon() { m_runner->DropLine(); }

    void SetProxy(const std::string& server, int port, const std::string& user,
                  const std::string& password, ProxyType type) {
        m_proxyHost = server;
        m_proxyPort = port;
        m_proxyUser = user;
        m_proxyPassword = password;
        m_proxyType = type;
        m_viaProxy = true;
        // A SOCKS proxy carries connections we open, not connections the
        // server opens back to us, so active mode cannot work through it.
        m_passive = true;
    }

    void Connect(bool& unreachable, bool& loginRefused, bool& networkOk) {
        unreachable = loginRefused = false;
        networkOk = true;
        CURLcode code = CURLE_FAILED_INIT;
        std::string pwd;
        if (m_curl && m_runner->Usable() && !m_base.empty()) {
            Prepare(DirUrl(m_dir));
            curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
            // SFTP: the quote commands need the login folder's full path
            // (libcurl expands "/~/" only in unquoted names); "pwd" tells it
            // as 257 "/path" is current directory.
            CSList askPwd{"pwd"};
            if (m_sftp) {
                curl_easy_setopt(m_curl, CURLOPT_QUOTE, askPwd.list);
                curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, &AppendToString);
                curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, &pwd);
            }
            code = Perform();
            const size_t open = pwd.find('"'), close = pwd.rfind('"');
            if (m_sftp && code == CURLE_OK && open != std::string::npos && close > open + 1)
                m_home = pwd.substr(open + 1, close - open - 1);
            else if (m_sftp && code == CURLE_OK) {
                code = CURLE_SSH;
                std::snprintf(m_errbuf, sizeof m_errbuf, "the server did not name the login folder");
            }
        } else if (m_curl) {
            code = CURLE_URL_MALFORMAT;
            std::snprintf(m_errbuf, sizeof m_errbuf, "not a usable server name or port");
        }
        if (code == CURLE_OK) {
            if (!m_sftp) LearnLoginFolder();
            return;
        }
        using EOutcome = CSftpHostKeyCheck::EOutcome;
        if (m_sftp && m_hostKey.outcome == EOutcome::Unknown)
            throw CFtpConnectError(FTP_HOST_KEY_UNKNOWN,
                                   "the server's host key is not known: " + m_hostKey.fingerprint,
                                   m_hostKey.fingerprint);
        if (m_sftp && m_hostKey.outcome == EOutcome::Changed)
            throw CFtpConnectError(FTP_HOST_KEY_CHANGED,
                                   "the server's host key differs from the one in " +
                                       m_hostKey.knownHosts.string() + ": " +
                                       m_hostKey.fingerprint,
                                   m_hostKey.fingerprint);
        long osErrno = 0, proxyError = 0;
        if (m_curl) {
            curl_easy_getinfo(m_curl, CURLINFO_OS_ERRNO, &osErrno);
            curl_easy_getinfo(m_curl, CURLINFO_PROXY_ERROR, &proxyError);
        }
        CFtpConnectFailure f = ClassifyFtpConnectFailure(code, m_viaProxy, osErrno, proxyError);
        unreachable = f.unreachable;
        loginRefused = f.loginRefused;
        networkOk = f.networkOk;
        throw CFtpConnectError(f.status, Describe(code));
    }

    // The login folder as the server told it after the login (PWD). Only a
    // path from the root can be used to name folders in one go; with
    // anything else (some servers answer in their own notation) commands
    // go on naming folders from the login folder.
    void LearnLoginFolder() {
        char* entry = nullptr;
        if (curl_easy_getinfo(m_curl, CURLINFO_FTP_ENTRY_PATH, &entry) != CURLE_OK || !entry ||
            entry[0] != '/' || !IsSafeArgument(entry))
            return;
        m_entry = SplitFolders(entry);
        m_absolute = true;
    }

    bool Chdir(const std::string& name) {
        Begin();
        std::vector<std::string> target = m_dir;
        if (name == "..") {
            if (!target.empty() && target.back() != "..") {
                target.pop_back();
            } else {
                target.push_back(".."); // above the login directory
            }
        } else if (name == ".") {
            return true;
        } else if (!IsOneComponent(name)) {
            return Fail(FTP_BAD_NAME, "not a single directory name: " + name);
        }
        if (name != "..") target.push_back(name);

        Prepare(DirUrl(target));
        std::string listing;
        if (m_sftp) {
            // Listing the directory is what finds out that it is there.
            curl_easy_setopt(m_curl, CURLOPT_DIRLISTONLY, 1L);
            curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &AppendToString);
            curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &listing);
        } else {
            curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
        }
        CURLcode code = Perform();
        if (code == CURLE_REMOTE_ACCESS_DENIED || (m_sftp && code == CURLE_REMOTE_FILE_NOT_FOUND)) {
            return Fail(FTP_NO_DIRECTORY, Describe(code));
        }
        if (!Finish(code, false)) return false;
        m_dir = std::move(target);
        return true;
    }

    bool Command(const std::string& verb, const std::string& name) {
        Begin();
        if (!IsOneComponent(name)) return Fail(FTP_BAD_NAME, "not a single name: " + name);
        return Finish(RunInCurrentDir({CommandFor(verb, name)}), false);
    }

    bool Put(const std::filesystem::path& local, const std::string& remote, bool binary) {
        Begin();
        if (!IsOneComponent(remote)) return Fail(FTP_BAD_NAME, "not a single name: " + remote);
        // SFTP has no text type: a page goes as the bytes it is.
        if (m_sftp) binary = true;
        if (m_renameOver != ERenameOver::Refused) {
            bool renameRefused = false;
            if (Upload(local, remote, binary, true, renameRefused)) return true;
            if (!renameRefused) return false;
            // Stored, but the server will not rename over the live file.
            // Deleting the live file to make room would leave visitors
            // without it if anything went wrong next, so this connection
            // uploads straight to the final name from now on: the live file
            // stays until its replacement arrives.
            if (m_renameOver == ERenameOver::Unknown) m_renameOver = ERenameOver::Refused;
            Begin();
        }
        bool unused = false;
        return Upload(local, remote, binary, false, unused);
    }

    bool UploadsInPlace() const { return m_renameOver == ERenameOver::Refused; }
    std::string HostKeyNotStored() const {
        return m_hostKey.outcome == CSftpHostKeyCheck::EOutcome::NotStored ? m_hostKey.error : "";
    }

    // One upload, under a temporary name renamed over `remote` when complete
    // (`viaTemp`) or straight to `remote`. `renameRefused` is set when the
    // file was stored but the rename was refused (the temporary file is
    // removed again).
    bool Upload(const std::filesystem::path& local, const std::string& remote, bool binary,
                bool viaTemp, bool& renameRefused) {
        CFtpUploadSource source(local, binary, m_progress);
        if (!source.IsOpen()) return Fail(FTP_LOCAL_FILE, "cannot read " + local.string());
        const std::string temp = ".pw-upload." + remote;
        Prepare(DirUrl(m_dir) + Escape(viaTemp ? temp : remote));
        // SFTP (version 3, as OpenSSH speaks it) never renames over a file:
        // the live file steps aside for a moment and goes once the new one
        // has its name. A stale aside-file of a broken run goes first.
        const std::string aside = ".pw-old." + remote;
        CSList rename = m_sftp ? CSList{CommandFor("*DELE", aside),
                                        "*rename " + SftpQuote(PathOf(remote)) + " " +
                                            SftpQuote(PathOf(aside)),
                                        "rename " + SftpQuote(PathOf(temp)) + " " +
                                            SftpQuote(PathOf(remote)),
                                        CommandFor("*DELE", aside)}
                               : CSList{"RNFR " + temp, "RNTO " + remote};
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
        curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &CFtpUploadSource::Read);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, &source);
        if (binary) curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, source.Size());
        if (viaTemp) curl_easy_setopt(m_curl, CURLOPT_POSTQUOTE, rename.list);
        CURLcode code = Perform();
        if (source.Failed()) return Fail(FTP_LOCAL_FILE, "reading " + local.string() + " failed");
        if (source.Stopped()) {
            Fail(FTP_STOPPED, "stopped");
            if (viaTemp) RunInCurrentDir({CommandFor("*DELE", temp)});
            return false;
        }
        if (viaTemp && code == CURLE_QUOTE_ERROR) {
            // A line cut during the rename reads as a failed command too.
            // Only a connection that is still there afterwards heard a
            // refusal; taking a cut for one would send every later upload
            // of the connection straight to the live name.
            const std::string why = Describe(code);
            bool sameLine = true;
            auto tidy = [&](const std::string& command) {
                const CURLcode result = RunInCurrentDir({command});
                long fresh = 0;
                curl_easy_getinfo(m_curl, CURLINFO_NUM_CONNECTS, &fresh);
                if (result == CURLE_ABORTED_BY_CALLBACK) code = result;
                sameLine = sameLine && result == CURLE_OK && fresh == 0;
            };
            if (m_sftp) // the live file back in its place, if it stepped aside
                tidy("*rename " + SftpQuote(PathOf(aside)) + " " + SftpQuote(PathOf(remote)));
            tidy(CommandFor("*DELE", temp));
            if (code == CURLE_ABORTED_BY_CALLBACK) return Fail(FTP_STOPPED, "stopped");
            // What is left is swept up by the next publish.
            if (!sameLine) return Fail(FTP_CLOSED, why);
            renameRefused = true;
            return Fail(FTP_REFUSED, "the server refused to rename " + temp + " to " + remote);
        }
        if (Finish(code, true)) {
            if (viaTemp) m_renameOver = ERenameOver::Works;
            return true;
        }
        if (viaTemp && m_status != FTP_CLOSED && m_status != FTP_TIMEOUT) {
            const int status = m_status;
            const std::string error = m_error;
            RunInCurrentDir({CommandFor("*DELE", temp)});
            m_status = status;
            m_error = error;
        }
        return false;
    }

    bool Mdel(const std::string& pattern, const std::vector<std::string>& exclusions) {
        Begin();
        std::vector<std::string> names;
        if (!ListFiles(names)) return false;
        bool allDeleted = true;
        int firstStatus = FTP_OK;
        std::string firstError;
        for (const auto& name : names) {
            if (!MatchesPattern(pattern, name)) continue;
            if (std::find(exclusions.begin(), exclusions.end(), name) != exclusions.end()) continue;
            bool ok =
                IsSafeArgument(name) && Finish(RunInCurrentDir({CommandFor("DELE", name)}), false);
            if (!ok && IsSafeArgument(name) && ConnectionGone()) return false;
            if (!ok && allDeleted) {
                firstStatus = IsSafeArgument(name) ? m_status : FTP_BAD_NAME;
                firstError = IsSafeArgument(name) ? m_error : "cannot name " + name;
            }
            allDeleted = allDeleted && ok;
        }
        m_status = firstStatus;
        m_error = firstError;
        return allDeleted;
    }

    CFtpTimings Timings() const { return {m_runner->Performs(), m_runner->InPerform()}; }
    int Status() const { return m_status; }
    const std::string& Error() const { return m_error; }
    std::string CurrentDir() const {
        std::string joined;
        for (const auto& part : m_dir)
            joined += (joined.empty() ? "" : "/") + part;
        return joined;
    }

private:
    std::string MakeBaseUrl(const std::string& server, int port) {
        if (!m_curl || port <= 0 || port > 65535 || !IsSafeArgument(server)) return {};
        // Spaces around a typed name are not part of it.
        const size_t first = server.find_first_not_of(" \t");
        if (first == std::string::npos) return {};
        std::string host = server.substr(first, server.find_last_not_of(" \t") - first + 1);
        m_host = host;
        if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
        CURLU* url = curl_url();
        std::string result;
        char* text = nullptr;
        if (curl_url_set(url, CURLUPART_SCHEME, m_sftp ? "sftp" : "ftp", 0) == CURLUE_OK &&
            curl_url_set(url, CURLUPART_HOST, host.c_str(), 0) == CURLUE_OK &&
            curl_url_set(url, CURLUPART_PORT, std::to_string(port).c_str(), 0) == CURLUE_OK &&
            curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK) {
            result = text;
            if (result.back() != '/') result += '/';
            if (m_sftp) result += "~/"; // paths below the login folder
        }
        curl_free(text);
        curl_url_cleanup(url);
        return result;
    }

    std::string Escape(const std::string& component) const {
        char* escaped = curl_easy_escape(m_curl, component.data(), int(component.size()));
        std::string result = escaped ? escaped : "";
        curl_free(escaped);
        // A dot segment would be folded away by URL parsing; escaped dots
        // reach the server as the ".." they are.
        if (component == "..") result = "%2E%2E";
        return result;
    }

    // A command for the current directory: FTP's verb and name, or the SFTP
    // command with the full path. A leading '*' lets it fail harmlessly.
    std::string CommandFor(std::string verb, const std::string& name) const {
        if (!m_sftp) return verb + " " + name;
        const bool mayFail = !verb.empty() && verb[0] == '*';
        if (mayFail) verb.erase(0, 1);
        std::string command = mayFail ? "*" : "";
        command += verb == "MKD" ? "mkdir " : verb == "RMD" ? "rmdir " : "rm ";
        command += SftpQuote(PathOf(name));
        return command;
    }

    // The full SFTP path of a name in the current directory.
    std::string PathOf(const std::string& name) const {
        std::string path = m_home + (m_home.ends_with('/') ? "" : "/");
        for (const auto& part : m_dir)
            path += part + "/";
        return path + name;
    }

    std::string DirUrl(const std::vector<std::string>& dir) const {
        std::string url = m_base;
        if (m_absolute) { // "%2F": the path starts at the server's root
            url += "%2F";
            for (const auto& part : m_entry)
                url += Escape(part) + "/";
        }
        for (const auto& part : dir)
            url += Escape(part) + "/";
        return url;
    }

    // Resets the handle to the session's settings for the next command. The
    // open connection and libcurl's knowledge of the server's directory
    // survive the reset.
    void Prepare(const std::string& url) {
        curl_easy_reset(m_curl);
        m_runner->Prepare();
        m_errbuf[0] = 0;
        auto set = [this](CURLoption option, auto value) {
            curl_easy_setopt(m_curl, option, value);
        };
        set(CURLOPT_URL, url.c_str());
        set(CURLOPT_PROTOCOLS_STR, m_sftp ? "sftp" : "ftp");
        set(CURLOPT_ERRORBUFFER, m_errbuf);
        set(CURLOPT_NOSIGNAL, 1L);
        // PW_FTP_TRACE=1 prints the protocol exchange, for diagnosing a
        // server; the password never appears in it.
        if (std::getenv("PW_FTP_TRACE")) {
            set(CURLOPT_DEBUGFUNCTION, &TraceLine);
            set(CURLOPT_VERBOSE, 1L);
        }
        set(CURLOPT_USERNAME, m_user.c_str());
        set(CURLOPT_PASSWORD, m_password.c_str());
        set(CURLOPT_CONNECTTIMEOUT, long(m_options.connectTimeoutSeconds));
        set(CURLOPT_ACCEPTTIMEOUT_MS, long(m_options.connectTimeoutSeconds) * 1000L);
        set(CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_options.idleTimeoutSeconds));
        set(CURLOPT_LOW_SPEED_LIMIT, 1L);
        set(CURLOPT_LOW_SPEED_TIME, long(m_options.idleTimeoutSeconds));
        set(CURLOPT_TCP_KEEPALIVE, 1L);
        set(CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_NONE));
        if (!m_passive) set(CURLOPT_FTPPORT, "-");
        // One CWD with the folder's whole path from the root: libcurl
        // otherwise goes back to the login folder and then down one CWD
        // per level, a round trip each, whenever the folder changes.
        if (m_absolute) set(CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
        if (m_sftp) PrepareSsh();
        if (m_options.tls) {
            set(CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
            set(CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
            set(CURLOPT_SSL_VERIFYPEER, 1L);
            set(CURLOPT_SSL_VERIFYHOST, 2L);
            const long tls12 = CURL_SSLVERSION_TLSv1_2;
            set(CURLOPT_SSLVERSION,
                Tls13UploadsUnsafe() ? tls12 | long(CURL_SSLVERSION_MAX_TLSv1_2) : tls12);
            if (!m_options.caFile.empty()) set(CURLOPT_CAINFO, m_options.caFile.c_str());
        }
        if (m_viaProxy) {
            set(CURLOPT_PROXY, m_proxyHost.c_str());
            set(CURLOPT_PROXYPORT, long(m_proxyPort));
            set(CURLOPT_PROXYTYPE,
                long(m_proxyType == Socks4 ? CURLPROXY_SOCKS4 : CURLPROXY_SOCKS5_HOSTNAME));
            if (!m_proxyUser.empty()) set(CURLOPT_PROXYUSERNAME, m_proxyUser.c_str());
            if (!m_proxyPassword.empty()) set(CURLOPT_PROXYPASSWORD, m_proxyPassword.c_str());
        }
    }

    void PrepareSsh() {
        auto set = [this](CURLoption option, auto value) {
            curl_easy_setopt(m_curl, option, value);
        };
        long methods = 0;
        if (!m_options.keyFile.empty()) {
            methods = CURLSSH_AUTH_PUBLICKEY;
            set(CURLOPT_SSH_PRIVATE_KEYFILE, m_options.keyFile.c_str());
            if (!m_password.empty()) set(CURLOPT_KEYPASSWD, m_password.c_str());
        } else {
            if (!m_password.empty()) methods |= CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD;
            if (std::getenv("SSH_AUTH_SOCK")) methods |= CURLSSH_AUTH_AGENT;
        }
        // Nothing to log in with still asks the server, which then refuses.
        set(CURLOPT_SSH_AUTH_TYPES, methods ? methods : long(CURLSSH_AUTH_PASSWORD));
        set(CURLOPT_SSH_KNOWNHOSTS, m_hostKey.knownHosts.c_str());
        set(CURLOPT_SSH_KEYFUNCTION, &CheckHostKey);
        set(CURLOPT_SSH_KEYDATA, &m_hostKey);
    }

    static int CheckHostKey(CURL* easy, const curl_khkey* known, const curl_khkey* found,
                            curl_khmatch match, void* check) {
        return SftpCheckHostKey(easy, known, found, match, check);
    }

    // Sends the commands in the current directory (after changing there).
    // A command starting with '*' may fail without failing the rest.
    CURLcode RunInCurrentDir(std::initializer_list<std::string> commands) {
        CSList list(commands);
        Prepare(DirUrl(m_dir));
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
        // SFTP runs its post-transfer commands only after a transfer.
        curl_easy_setopt(m_curl, m_sftp ? CURLOPT_QUOTE : CURLOPT_POSTQUOTE, list.list);
        return Perform();
    }

    // The plain files of the current directory. MLSD says which entries are
    // files; a server without it gets NLST, whose directories then fail to
    // delete like any other refused name.
    bool ListFiles(std::vector<std::string>& names) {
        std::map<std::string, long long> sizes;
        if (!ListSizes(sizes)) return false;
        names.clear();
        for (const auto& [name, size] : sizes)
            names.push_back(name);
        return true;
    }

public:
    // The files of the current directory with their sizes, -1 where the
    // server does not tell (NLST).
    bool ListSizes(std::map<std::string, long long>& sizes) {
        Begin();
        std::string listing;
        Prepare(DirUrl(m_dir));
        if (m_sftp) {
            curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &AppendToString);
            curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &listing);
            if (!Finish(Perform(), true)) return false;
            sizes = ParseSftpLongListing(listing);
            return true;
        }
        curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, "MLSD");
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &AppendToString);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &listing);
        CURLcode code = Perform();
        if (code == CURLE_OK) {
            sizes = ParseMlsdFileSizes(listing);
            return true;
        }
        if (!Finish(code, true) && ConnectionGone()) return false;

        listing.clear();
        Prepare(DirUrl(m_dir));
        curl_easy_setopt(m_curl, CURLOPT_DIRLISTONLY, 1L);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &AppendToString);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &listing);
        if (!Finish(Perform(), true)) return false;
        sizes.clear();
        for (const std::string& name : ParseNlstNames(listing))
            sizes[name] = -1;
        m_status = FTP_OK;
        m_error.clear();
        return true;
    }

private:
    CURLcode Perform() { return m_runner->Perform(); }

    void Begin() {
        m_status = FTP_OK;
        m_error.clear();
    }

    bool Fail(int status, std::string error) {
        m_status = status;
        m_error = std::move(error);
        return false;
    }

    bool ConnectionGone() const {
        return m_status == FTP_CLOSED || m_status == FTP_TIMEOUT || m_status == FTP_STOPPED;
    }

    std::string Describe(CURLcode code) const {
        // The buffer may also hold an earlier note that did not stop the
        // transfer, so the result's own text leads.
        std::string text = curl_easy_strerror(code);
        if (m_errbuf[0] && text != m_errbuf) text += std::string(": ") + m_errbuf;
        long reply = 0;
        if (m_curl) curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &reply);
        if (reply > 0) text += " (server reply " + std::to_string(reply) + ")";
        return text;
    }

    // Turns the result of a perform into the status; `transfer` when a data
    // connection was involved, so that a broken one reads as such.
    bool Finish(CURLcode code, bool transfer) {
        if (code == CURLE_OK) return true;
        long reply = 0;
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &reply);
        return Fail(ClassifyFtpFailure(code, reply, transfer), Describe(code));
    }

    CURL* m_curl = nullptr;
    std::unique_ptr<CCurlRunner> m_runner;
    std::string m_base;
    std::string m_host;
    bool m_sftp = false;
    std::string m_home; // SFTP: the login folder's full path
    // FTP: the login folder's path from the root, when the server named one
    // (m_absolute); every command then names its folder from the root.
    std::vector<std::string> m_entry;
    bool m_absolute = false;
    CSftpHostKeyCheck m_hostKey;
    std::string m_user;
    std::string m_password;
    bool m_passive;
    FtpProgressFn m_progress;
    CFtpOptions m_options;
    bool m_viaProxy = false;
    std::string m_proxyHost;
    int m_proxyPort = 0;
    std::string m_proxyUser;
    std::string m_proxyPassword;
    ProxyType m_proxyType = Socks5;
    std::vector<std::string> m_dir;
    // Whether the server lets an upload be renamed over the live file; found
    // out by the first upload of the connection.
    enum class ERenameOver { Unknown, Works, Refused };
    ERenameOver m_renameOver = ERenameOver::Unknown;
    int m_status = FTP_OK;
    std::string m_error;
    char m_errbuf[CURL_ERROR_SIZE] = {};
};

CFtp::CFtp(bool& unreachable, bool& loginRefused, bool& networkOk, const std::string& server,
           int port, const std::string& user, const std::string& password, bool passive,
           const std::string& proxyServer, int proxyPort, const std::string& proxyUser,
           const std::string& proxyPassword, ProxyType proxyType, FtpProgressFn progress,
           const CFtpOptions& options)
    : m_impl(std::make_unique<CImpl>(server, port, user, password, passive, std::move(progress),
                                     options)) {
    m_impl->SetProxy(proxyServer, proxyPort, proxyUser, proxyPassword, proxyType);
    m_impl->Connect(unreachable, loginRefused, networkOk);
}

CFtp::CFtp(bool& unreachable, bool& loginRefused, bool& networkOk, const std::string& server,
           int port, const std::string& user, const std::string& password, bool passive,
           FtpProgressFn progress, const CFtpOptions& options)
    : m_impl(std::make_unique<CImpl>(server, port, user, password, passive, std::move(progress),
                                     options)) {
    m_impl->Connect(unreachable, loginRefused, networkOk);
}

CFtp::~CFtp() = default;

bool CFtp::chdir(const std::string& name) {
    return m_impl->Chdir(name);
}
bool CFtp::mkdir(const std::string& name) {
    return m_impl->Command("MKD", name);
}
bool CFtp::put(const std::filesystem::path& localPath, const std::string& remoteName, bool binary) {
    return m_impl->Put(localPath, remoteName, binary);
}
bool CFtp::list(std::map<std::string, long long>& sizes) {
    return m_impl->ListSizes(sizes);
}
bool CFtp::UploadsInPlace() const {
    return m_impl->UploadsInPlace();
}
std::string CFtp::HostKeyNotStored() const {
    return m_impl->HostKeyNotStored();
}
bool CFtp::remove(const std::string& name) {
    return m_impl->Command("DELE", name);
}
void CFtp::Abandon() {
    m_impl->Abandon();
}
bool CFtp::rmdir(const std::string& name) {
    return m_impl->Command("RMD", name);
}
bool CFtp::mdel_excludefiles(const std::string& pattern,
                             const std::vector<std::string>& exclusions) {
    return m_impl->Mdel(pattern, exclusions);
}
CFtpTimings CFtp::GetTimings() const {
    return m_impl->Timings();
}
int CFtp::GetStatus() const {
    return m_impl->Status();
}
const std::string& CFtp::GetLastError() const {
    return m_impl->Error();
}
std::string CFtp::GetCurrentDir() const {
    return m_impl->CurrentDir();
}

bool CFtp::MatchesPattern(const std::string& pattern, const std::string& name) {
    // "*.*" means every file, as it always has on the systems the pattern
    // comes from, names without a dot included.
    if (pattern == "*" || pattern == "*.*") return true;
    // Iterative glob with backtracking to the last '*'.
    size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}
