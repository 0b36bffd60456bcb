#include "publish/CurlRunner.h"
#include <sys/socket.h>
#include <unistd.h>

namespace {
// How long a wait inside a transfer lasts before the run is asked again.
constexpr int kTickMs = 5;
} // namespace

CCurlRunner::CCurlRunner(CURL* easy, std::function<bool()> stop)
    : m_easy(easy), m_multi(curl_multi_init()), m_stop(std::move(stop)) {}

CCurlRunner::~CCurlRunner() {
    // The connection lives in the multi handle's cache; cleaning that up
    // says goodbye to the server (QUIT) and waits for the answer as long as
    // the handle added last allowed. A server that stopped answering must
    // not hold up the end of the run for a whole idle time-out, so a handle
    // with a short one is added last.
    if (m_multi && m_easy) {
        curl_easy_reset(m_easy);
        curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, 2L);
        if (curl_multi_add_handle(m_multi, m_easy) == CURLM_OK)
            curl_multi_remove_handle(m_multi, m_easy);
    }
    if (m_multi) curl_multi_cleanup(m_multi);
}

void CCurlRunner::Prepare() {
    curl_easy_setopt(m_easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(m_easy, CURLOPT_XFERINFOFUNCTION, &CCurlRunner::OnProgress);
    curl_easy_setopt(m_easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_easy, CURLOPT_SOCKOPTFUNCTION, &CCurlRunner::OnSocketOpened);
    curl_easy_setopt(m_easy, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_CLOSESOCKETFUNCTION, &CCurlRunner::OnSocketClosed);
    curl_easy_setopt(m_easy, CURLOPT_CLOSESOCKETDATA, this);
}

bool CCurlRunner::StopAsked() {
    if (!m_stop || !m_stop()) return false;
    DropLine();
    return true;
}

void CCurlRunner::DropLine() {
    for (curl_socket_t fd : m_sockets)
        shutdown(fd, SHUT_RDWR);
}

int CCurlRunner::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CCurlRunner*>(self)->StopAsked() ? 1 : 0;
}

int CCurlRunner::OnSocketOpened(void* self, curl_socket_t fd, curlsocktype purpose) {
    // Only connections this side opened: libcurl closes a connection the
    // server opened (active FTP) without the close callback, and a number
    // kept after its close could name some other socket later. Dropping
    // the control connection ends such a transfer all the same.
    if (purpose == CURLSOCKTYPE_IPCXN) static_cast<CCurlRunner*>(self)->m_sockets.insert(fd);
    return CURL_SOCKOPT_OK;
}

int CCurlRunner::OnSocketClosed(void* self, curl_socket_t fd) {
    static_cast<CCurlRunner*>(self)->m_sockets.erase(fd);
    return close(fd);
}

// Drives libcurl's multi interface itself rather than curl_easy_perform:
// libcurl 7.88 sets no timer when a passive-mode reply is read in the same
// step that sent the command (usual on a fast line) and would then idle up
// to a second before opening the data connection. Waiting in short ticks
// avoids that, and each tick asks whether the run was stopped, also in the
// phases where libcurl calls no progress callback (connecting, commands).
CURLcode CCurlRunner::Perform() {
    const auto start = std::chrono::steady_clock::now();
    CURLcode code = CURLE_FAILED_INIT;
    if (StopAsked()) {
        code = CURLE_ABORTED_BY_CALLBACK;
    } else if (curl_multi_add_handle(m_multi, m_easy) == CURLM_OK) {
        int running = 1;
        bool stopped = false;
        CURLMcode mc = curl_multi_perform(m_multi, &running);
        while (mc == CURLM_OK && running && !stopped) {
            long timeout = -1;
            curl_multi_timeout(m_multi, &timeout);
            if (timeout < 0 || timeout > kTickMs) timeout = kTickMs;
            mc = curl_multi_poll(m_multi, nullptr, 0, int(timeout), nullptr);
            stopped = StopAsked();
            if (mc == CURLM_OK && !stopped) mc = curl_multi_perform(m_multi, &running);
        }
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(m_multi, &queued))
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == m_easy) code = msg->data.result;
        // Removing an unfinished transfer ends it and closes its connection.
        curl_multi_remove_handle(m_multi, m_easy);
        if (stopped) code = CURLE_ABORTED_BY_CALLBACK;
    }
    m_inPerform += std::chrono::steady_clock::now() - start;
    ++m_performs;
    return code;
}
