#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// What the SFTP connection kind adds to the FTP client: the server's host
// key checked against the known-hosts file, the commands libcurl runs on an
// SFTP server, and the server's long directory listing.

// The host key check of one connection. libcurl calls SftpCheckHostKey with
// this as its data while logging in; the outcome says what it found.
struct CSftpHostKeyCheck {
    enum class EOutcome {
        None,     // not called (yet)
        Known,    // the key is the one the known-hosts file holds
        Unknown,  // the file has no key for the server: refused
        Changed,  // the file holds another key for the server: refused
        Accepted, // unknown, but the user accepted this key; stored
        NotStored // accepted, but it could not be added to the file
    };
    std::filesystem::path knownHosts;
    std::string host;
    int port = 22;
    // The fingerprint the user accepted for an unknown key ("SHA256:...").
    std::string accept;

    EOutcome outcome = EOutcome::None;
    std::string fingerprint; // of the key the server showed
    std::string error;       // why storing failed
};

// libcurl's CURLOPT_SSH_KEYFUNCTION (the last argument is the check).
int SftpCheckHostKey(void* easy, const void* knownKey, const void* foundKey, int match,
                     void* check);

// The fingerprint of a public key given as base64 of its SSH blob, as ssh
// shows it: "SHA256:" and the unpadded base64 of the blob's SHA-256. Empty
// for text that is not base64.
std::string SshKeyFingerprint(const std::string& base64Blob);
// The key type the blob names first ("ssh-ed25519"); empty when unreadable.
std::string SshKeyType(const std::string& base64Blob);
// How a known-hosts file names a server: the host, or "[host]:port" for a
// port other than 22.
std::string KnownHostsName(const std::string& host, int port);
// Adds one line for the key to the known-hosts file (made with its folder
// when missing, private to the user). False with `error` when that fails;
// the file is then as it was.
bool AddKnownHost(const std::filesystem::path& file, const std::string& host, int port,
                  const std::string& base64Blob, std::string& error);
// ~/.ssh/known_hosts of the user ($HOME first).
std::filesystem::path DefaultKnownHostsFile();

// One argument of an SFTP quote command, quoted so that spaces and quotes
// in it survive libcurl's parsing.
std::string SftpQuote(const std::string& path);

// The plain files of a long listing ("-rw-r--r-- 1 u g 12 Dec 8 15:51 name")
// with their sizes; directories and links are left out.
std::map<std::string, long long> ParseSftpLongListing(const std::string& listing);
