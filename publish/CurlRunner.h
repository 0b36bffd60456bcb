#pragma once
#include <chrono>
#include <curl/curl.h>
#include <functional>
#include <set>

// Runs the transfers of one libcurl easy handle to their end through a multi
// handle of its own, whose connection cache keeps the connection (and its
// login) from one transfer to the next. A run that is stopped ends at once:
// the question is asked before a transfer starts, every few milliseconds
// while it runs and from libcurl's progress callback, and the answer "stop"
// drops the line instead of taking leave of the server, since every word of
// goodbye costs a round trip to a distant server. The next connection to the
// server finds what the dropped one left half done.
class CCurlRunner {
public:
    // `stop` answers whether the run was stopped; it is called on the thread
    // that calls Perform. May be empty.
    CCurlRunner(CURL* easy, std::function<bool()> stop);
    // Takes leave of the server (QUIT), unless the line was dropped.
    ~CCurlRunner();
    CCurlRunner(const CCurlRunner&) = delete;
    CCurlRunner& operator=(const CCurlRunner&) = delete;

    bool Usable() const { return m_easy && m_multi; }
    // Sets what every transfer needs (the progress callback, the socket
    // bookkeeping); call after curl_easy_reset.
    void Prepare();
    // Runs the prepared transfer to its end, like curl_easy_perform.
    // CURLE_ABORTED_BY_CALLBACK when the run was stopped.
    CURLcode Perform();
    // Shuts every socket of the connection down: anything libcurl or
    // libssh2 still sends or waits for on them fails at once.
    void DropLine();

    long long Performs() const { return m_performs; }
    std::chrono::nanoseconds InPerform() const { return m_inPerform; }

private:
    bool StopAsked();
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static int OnSocketOpened(void* self, curl_socket_t fd, curlsocktype purpose);
    static int OnSocketClosed(void* self, curl_socket_t fd);

    CURL* m_easy;
    CURLM* m_multi;
    std::function<bool()> m_stop;
    std::set<curl_socket_t> m_sockets; // open, of connections this side opened
    long long m_performs = 0;
    std::chrono::nanoseconds m_inPerform{0};
};
