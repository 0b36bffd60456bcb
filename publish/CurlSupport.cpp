#include "publish/CurlSupport.h"
#include "publish/FtpReplies.h"
#include <cstdio>

namespace pw::curl {

namespace {
struct CCurlGlobal {
    CCurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};
} // namespace

void EnsureGlobal() {
    static CCurlGlobal global;
}

bool ActiveTlsBroken() {
    const unsigned version = curl_version_info(CURLVERSION_NOW)->version_num;
    return version >= 0x075700 && version < 0x080000;
}

bool Tls13UploadsUnsafe() {
    return curl_version_info(CURLVERSION_NOW)->version_num < 0x080A00;
}

bool IsOneComponent(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f) return false;
    }
    return true;
}

bool IsSafeArgument(const std::string& name) {
    for (unsigned char c : name) {
        if (c == '\r' || c == '\n' || c == 0) return false;
    }
    return !name.empty();
}

std::vector<std::string> SplitFolders(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

size_t AppendToString(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

int TraceLine(CURL*, curl_infotype type, char* data, size_t size, void*) {
    const char* prefix = nullptr;
    switch (type) {
    case CURLINFO_TEXT:
        prefix = "* ";
        break;
    case CURLINFO_HEADER_IN:
        prefix = "< ";
        break;
    case CURLINFO_HEADER_OUT:
        prefix = "> ";
        break;
    default:
        return 0; // file data stays out of the trace
    }
    std::fputs(prefix, stderr);
    std::fputs(RedactFtpTrace(std::string(data, size)).c_str(), stderr);
    return 0;
}

} // namespace pw::curl
