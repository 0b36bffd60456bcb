#pragma once
#include <map>
#include <string>
#include <vector>

// How the FTP client reads what libcurl and the server told it. Kept apart
// from the session so that the rules can be read (and tested) on their own.
// Codes are libcurl's CURLcode and CURLproxycode values.

// What went wrong while connecting, as CFtp's constructor flags say it.
struct CFtpConnectFailure {
    int status;        // an FtpStatus
    bool unreachable;  // the server (or the way to it) does not answer
    bool loginRefused; // the server refused user name or password
    bool networkOk;    // cleared when nothing could be reached at all
};

CFtpConnectFailure ClassifyFtpConnectFailure(int curlCode, bool viaProxy, long osErrno,
                                             long proxyError);

// The FtpStatus of a failed command. `reply` is the server's last reply
// code; `transfer` is set when a data connection was involved, so that a
// broken one reads as such.
int ClassifyFtpFailure(int curlCode, long reply, bool transfer);

// The names of the plain files in an MLSD listing
// ("type=file;size=12;modify=20240101000000; name with spaces").
std::vector<std::string> ParseMlsdFiles(const std::string& listing);

// The plain files of an MLSD listing with their sizes (-1 where the server
// gives none).
std::map<std::string, long long> ParseMlsdFileSizes(const std::string& listing);

// The names in an NLST listing; a server that puts a path in front of each
// name has it removed.
std::vector<std::string> ParseNlstNames(const std::string& listing);

// A piece of the protocol trace with the argument of every PASS command
// replaced by "****".
std::string RedactFtpTrace(const std::string& text);
