#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the designer talks to the web server: plain FTP, FTP over explicit TLS,
// or SFTP (files over an SSH connection).
enum class EConnectionKind { Ftp, Ftps, Sftp };

// The stored names of the kinds ("FTP", "FTPS", "SFTP"); an unknown name
// reads as plain FTP.
const char* ConnectionKindName(EConnectionKind kind);
EConnectionKind ParseConnectionKind(std::string_view name);

// One set of connection values for publishing. The connection settings
// themselves have the same shape (the name is then unused), so the
// "Internet Opsætning" dialog copies between the two freely.
// Strings are UTF-8, exactly as the user typed them.
struct CFtpProfile {
    std::string name;
    std::string server;
    std::string user;
    std::string password;
    std::string catalog;
    int port = 21;
    bool passive = false;
    int proxyType = 0; // 0 none, 1 Socks4, 2 Socks5
    std::string proxyServer;
    int proxyPort = 0;
    std::string proxyUser;
    std::string proxyPassword;
    // The stored profile layout has no room for the kind and the key file:
    // they are kept in a value of their own (EncodeProfileKinds).
    EConnectionKind kind = EConnectionKind::Ftp;
    // SFTP: the private key to log in with; empty for the password, or for
    // the keys of the running ssh-agent when there is no password.
    std::string keyFile;

    bool operator==(const CFtpProfile&) const = default;
};

// The stored "FTP profiles" value: uint16 count, then per profile the name,
// server, user, password and catalog (uint16 length + bytes each), uint16
// port, one byte passive, uint16 proxy type, proxy server, uint16 proxy port,
// proxy user, proxy password. Little-endian throughout.
//
// Throws std::length_error when a string is longer than 65535 bytes or there
// are more than 65535 profiles: such a list cannot be written so that it reads
// back, and the caller keeps the previously stored value instead.
// Port and proxy fields outside 0..65535 are clamped into that range.
std::vector<uint8_t> EncodeProfiles(const std::vector<CFtpProfile>& profiles);

// Decodes a stored value. A value that ends before the last announced profile
// is complete gives an empty list; bytes after the last profile are ignored
// (they cannot hold anything the count does not announce).
std::vector<CFtpProfile> DecodeProfiles(const std::vector<uint8_t>& bytes);

// The kinds and key files of the profiles, by profile name: uint16 count,
// then per profile its name, kind name and key file (uint16 length + bytes
// each). Only profiles that are not plain FTP without a key file are listed.
// Throws std::length_error like EncodeProfiles.
std::vector<uint8_t> EncodeProfileKinds(const std::vector<CFtpProfile>& profiles);
// Gives each profile named in a stored value its kind and key file; others
// stay plain FTP. A damaged value changes nothing.
void ApplyProfileKinds(std::vector<CFtpProfile>& profiles, const std::vector<uint8_t>& bytes);

// Stores `profile` under its name: replaces the profile with exactly that
// name (case-sensitive) or appends it. Returns the index it now has.
size_t SaveProfile(std::vector<CFtpProfile>& profiles, const CFtpProfile& profile);

// Removes the profile at `index` and returns the index of the profile whose
// values should be shown next: the one that moved into the removed position,
// or the new last one when the removed profile was last. Returns nothing when
// the list is now empty or `index` was out of range (then nothing is removed).
std::optional<size_t> DeleteProfile(std::vector<CFtpProfile>& profiles, size_t index);

// Whether a folder name on the server ("catalog") is acceptable. The check
// works on a normalised copy; the text that is stored stays as typed.
bool IsValidCatalog(std::string_view catalog);
