#include "publish/FtpReplies.h"
#include "publish/Ftp.h"
#include <cctype>
#include <cerrno>
#include <curl/curl.h>

CFtpConnectFailure ClassifyFtpConnectFailure(int curlCode, bool viaProxy, long osErrno,
                                             long proxyError) {
    switch (static_cast<CURLcode>(curlCode)) {
    case CURLE_LOGIN_DENIED:
        return {FTP_LOGIN, false, true, true};
    case CURLE_PROXY:
        // The proxy answered but could not reach the server ...
        if (proxyError == CURLPX_REPLY_CONNECTION_REFUSED ||
            proxyError == CURLPX_REPLY_HOST_UNREACHABLE || proxyError == CURLPX_RESOLVE_HOST ||
            proxyError == CURLPX_REPLY_TTL_EXPIRED) {
            return {FTP_UNREACHABLE, true, false, true};
        }
        // ... or refused us: nothing gets out.
        return {FTP_UNREACHABLE, false, false, false};
    case CURLE_COULDNT_RESOLVE_PROXY:
        return {FTP_UNREACHABLE, false, false, false};
    case CURLE_COULDNT_CONNECT:
        if (viaProxy || osErrno == ENETUNREACH || osErrno == ENETDOWN) {
            return {FTP_UNREACHABLE, false, false, false};
        }
        return {FTP_UNREACHABLE, true, false, true};
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_URL_MALFORMAT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_SSH: // no SSH server there, or no common way to talk
        return {FTP_UNREACHABLE, true, false, true};
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        // The server answered, but nothing vouches for its certificate (or
        // it names another server): the network is fine, and saying
        // "cannot be contacted" would send the user chasing a network fault.
        return {FTP_CERTIFICATE, false, false, true};
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
        // The server cannot be used safely, which for the user is the same
        // as not reaching it: check the server settings.
        return {FTP_TLS, true, false, true};
    default:
        return {FTP_INTERNAL, false, false, false};
    }
}

int ClassifyFtpFailure(int curlCode, long reply, bool transfer) {
    if (reply == 421) return FTP_CLOSED; // "service not available, closing"
    if (transfer && (reply == 425 || reply == 426)) return FTP_DATA_LOST;
    switch (static_cast<CURLcode>(curlCode)) {
    case CURLE_ABORTED_BY_CALLBACK:
        return FTP_STOPPED;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_FTP_ACCEPT_TIMEOUT:
        return FTP_TIMEOUT;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
        return transfer ? FTP_DATA_LOST : FTP_CLOSED;
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_CANT_GET_HOST:
        return FTP_DATA_LOST;
    case CURLE_GOT_NOTHING:
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_LOGIN_DENIED:
    case CURLE_PROXY:
    case CURLE_SSH:
        // A dropped connection that could not be made again.
        return FTP_CLOSED;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_USE_SSL_FAILED:
        return FTP_TLS;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_QUOTE_ERROR:
    case CURLE_UPLOAD_FAILED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_FTP_COULDNT_SET_TYPE:
        return FTP_REFUSED;
    default:
        return FTP_INTERNAL;
    }
}

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The value of one fact of an MLSD entry ("size" in "type=file;size=12;"),
// lower case; empty when the entry does not have it.
std::string FactValue(const std::string& facts, const std::string& key) {
    size_t start = 0;
    while (start < facts.size()) {
        size_t end = facts.find(';', start);
        if (end == std::string::npos) end = facts.size();
        std::string fact = facts.substr(start, end - start);
        for (auto& c : fact)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (fact.size() > key.size() && fact.compare(0, key.size(), key) == 0 &&
            fact[key.size()] == '=')
            return fact.substr(key.size() + 1);
        start = end + 1;
    }
    return {};
}

bool IsFileFacts(const std::string& facts) {
    return FactValue(facts, "type") == "file";
}

} // namespace

std::vector<std::string> ParseMlsdFiles(const std::string& listing) {
    std::vector<std::string> names;
    for (const auto& line : SplitLines(listing)) {
        // The facts end at the first space; the name is everything after it.
        size_t space = line.find(' ');
        if (space == std::string::npos || space + 1 == line.size()) continue;
        if (IsFileFacts(line.substr(0, space))) names.push_back(line.substr(space + 1));
    }
    return names;
}

std::map<std::string, long long> ParseMlsdFileSizes(const std::string& listing) {
    std::map<std::string, long long> sizes;
    for (const auto& line : SplitLines(listing)) {
        size_t space = line.find(' ');
        if (space == std::string::npos || space + 1 == line.size()) continue;
        const std::string facts = line.substr(0, space);
        if (!IsFileFacts(facts)) continue;
        const std::string size = FactValue(facts, "size");
        const bool known = !size.empty() && size.size() < 19 &&
                           size.find_first_not_of("0123456789") == std::string::npos;
        sizes[line.substr(space + 1)] = known ? std::stoll(size) : -1;
    }
    return sizes;
}

std::vector<std::string> ParseNlstNames(const std::string& listing) {
    std::vector<std::string> names;
    for (const auto& line : SplitLines(listing)) {
        size_t slash = line.rfind('/');
        names.push_back(slash == std::string::npos ? line : line.substr(slash + 1));
    }
    return names;
}

std::string RedactFtpTrace(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        if (line.size() >= 5 && std::toupper(static_cast<unsigned char>(line[0])) == 'P' &&
            std::toupper(static_cast<unsigned char>(line[1])) == 'A' &&
            std::toupper(static_cast<unsigned char>(line[2])) == 'S' &&
            std::toupper(static_cast<unsigned char>(line[3])) == 'S' && line[4] == ' ') {
            const bool crlf = line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0;
            const bool lf = !crlf && line.back() == '\n';
            line = "PASS ****" + std::string(crlf ? "\r\n" : lf ? "\n" : "");
        }
        out += line;
        start = end;
    }
    return out;
}
