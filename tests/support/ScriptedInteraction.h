#pragma once
#include "services/UserInteraction.h"
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pwtest {

// What a scripted progress window saw. It outlives the window, so a test can
// inspect it after the core has closed the progress.
struct CProgressLog {
    int id = 0;
    std::string caption;
    std::vector<std::string> phases;
    std::vector<std::string> pages;
    std::vector<long long> positions;
    long long range = CProgress::kRange;
    int polls = 0;
    bool cancelReported = false;
    bool closed = false;
};

// A user-interaction port that answers from a script. Every dialog the code
// under test opens must have been announced with an Expect... call, in order;
// a dialog that was not scripted fails the test with its text and gets the
// safe answer (Cancel, No, cancelled chooser). Answers that the dialog does
// not offer (Yes to an Ok box, a button index past the end) fail the test too.
// Scripted answers left unused fail the test at Verify() or destruction, and
// so does an unbalanced wait count.
class CScriptedInteraction : public CUserInteraction {
public:
    enum class EKind { Message, Choice, File, Folder, Text, Progress, Browser };

    struct CCall {
        EKind kind;
        int id = 0;
        std::string caption;
        std::string text;
    };

    CScriptedInteraction() = default;
    ~CScriptedInteraction() override;
    CScriptedInteraction(const CScriptedInteraction&) = delete;
    CScriptedInteraction& operator=(const CScriptedInteraction&) = delete;

    // Script. A message or choice is matched by its id, or by a fragment of its
    // text or caption. Each call adds one answer to the end of the queue.
    CScriptedInteraction& ExpectMessage(int id, EAnswer answer);
    CScriptedInteraction& ExpectMessage(const std::string& fragment, EAnswer answer);
    CScriptedInteraction& ExpectChoice(int id, int button, bool checked = false);
    CScriptedInteraction& ExpectChoice(const std::string& fragment, int button,
                                       bool checked = false);
    // A choice whose colour swatch the user set to `colour` before answering.
    CScriptedInteraction& ExpectChoiceWithColour(int id, int button, const CColor& colour);
    // An empty path scripts a cancelled chooser.
    CScriptedInteraction& ExpectFile(const std::filesystem::path& answer);
    CScriptedInteraction& ExpectFolder(const std::filesystem::path& answer);
    CScriptedInteraction& ExpectText(const std::string& answer);
    CScriptedInteraction& ExpectTextCancel();
    // The next progress window opened reports Cancel once it has been polled
    // this many times without cancelling (0: at the first poll).
    CScriptedInteraction& CancelProgressAfter(int polls);
    // When set, unscripted plain information/error boxes (Ok button only) are
    // recorded and answered Ok instead of failing the test.
    CScriptedInteraction& AllowUnscriptedNotices(bool allow = true);

    // Reports every unused answer and clears the script; true when none was left.
    bool Verify();

    // Observations.
    const std::vector<CCall>& Calls() const { return m_calls; }
    int CountCalls(EKind kind) const;
    bool SawId(int id) const;
    bool SawText(const std::string& fragment) const;
    const std::vector<std::shared_ptr<CProgressLog>>& Progresses() const { return m_progresses; }
    const std::vector<std::filesystem::path>& OpenedInBrowser() const { return m_browser; }
    int WaitCount() const { return m_waitCount; }
    int MaxWaitCount() const { return m_maxWaitCount; }
    size_t Pending() const { return m_script.size(); }

    // The port.
    EAnswer Message(const CMessage& msg) override;
    CChoiceResult Choose(const CChoice& choice) override;
    std::filesystem::path ChooseFile(const CFileRequest& request) override;
    std::filesystem::path ChooseFolder(const std::string& title,
                                       const std::filesystem::path& start) override;
    bool AskText(const std::string& caption, const std::string& label, std::string& text) override;
    std::unique_ptr<CProgress> OpenProgress(int id, const std::string& caption) override;
    bool OpenInBrowser(const std::filesystem::path& file) override;
    void BeginWait() override;
    void EndWait() override;

private:
    struct CExpectation {
        EKind kind = EKind::Message;
        int id = 0;             // 0: match by fragment (or anything, for choosers)
        std::string fragment{}; // empty: match by id
        EAnswer answer = EAnswer::Ok;
        int button = -1;
        bool checked = false;
        std::filesystem::path path{};
        std::optional<std::string> text{}; // nullopt: cancel
        std::optional<CColor> colour{};    // nullopt: the swatch left as offered
    };

    // Pops the front expectation when it fits the call; otherwise fails the
    // test (leaving the script as it is) and returns nothing.
    std::optional<CExpectation> Take(EKind kind, const CCall& call);
    CScriptedInteraction& Push(CExpectation e);

    std::deque<CExpectation> m_script;
    std::vector<CCall> m_calls;
    std::vector<std::shared_ptr<CProgressLog>> m_progresses;
    std::vector<std::filesystem::path> m_browser;
    std::optional<int> m_cancelAfter;
    bool m_allowNotices = false;
    int m_waitCount = 0;
    int m_maxWaitCount = 0;
};

const char* KindName(CScriptedInteraction::EKind kind);

} // namespace pwtest
