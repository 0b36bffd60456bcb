#pragma once
#include <curl/curl.h>
#include <initializer_list>
#include <string>
#include <vector>

// Small pieces the FTP client needs around libcurl, kept out of its way.
namespace pw::curl {

// curl_global_init, once per process, before the first handle.
void EnsureGlobal();

// libcurl 7.87 and 7.88 skip the TLS handshake on data connections the
// server opens (active mode) and send the data in the clear; a server that
// requires protection then refuses the transfer. With those versions a
// secure session uses passive data connections, which they protect.
bool ActiveTlsBroken();

// Before 8.10 libcurl closes a finished TLS data connection without reading
// what the server sent on it. Under TLS 1.3 the server has sent session
// tickets by then, so the close goes out as a reset, and a reset can make
// the server drop the end of an upload it has not read yet: a truncated file
// that may even be reported as stored. TLS 1.2 sends nothing after the
// handshake, so with those versions the session stays at TLS 1.2.
bool Tls13UploadsUnsafe();

// One path component: not empty, not "." or "..", no slash, backslash or
// control character.
bool IsOneComponent(const std::string& name);
// A command argument may hold spaces but never a line break.
bool IsSafeArgument(const std::string& name);

// The folder names of a path, split at every slash, empty parts dropped
// ("/a//b/" gives a, b).
std::vector<std::string> SplitFolders(const std::string& path);

// A CURLOPT_WRITEFUNCTION that appends to the std::string given as data.
size_t AppendToString(char* data, size_t size, size_t count, void* target);

// A CURLOPT_DEBUGFUNCTION printing the protocol exchange to stderr, with the
// PASS argument blanked so that a trace can be shared.
int TraceLine(CURL*, curl_infotype type, char* data, size_t size, void*);

// A curl_slist of commands, freed with the object.
struct CSList {
    curl_slist* list = nullptr;
    CSList(std::initializer_list<std::string> commands) {
        for (const auto& c : commands)
            list = curl_slist_append(list, c.c_str());
    }
    ~CSList() { curl_slist_free_all(list); }
    CSList(const CSList&) = delete;
    CSList& operator=(const CSList&) = delete;
};

} // namespace pw::curl
