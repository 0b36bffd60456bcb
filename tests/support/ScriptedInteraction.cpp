#include "tests/support/ScriptedInteraction.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace pwtest {

namespace {

bool Offers(CMessage::Buttons buttons, EAnswer a) {
    switch (buttons) {
    case CMessage::Buttons::Ok:
        return a == EAnswer::Ok;
    case CMessage::Buttons::OkCancel:
        return a == EAnswer::Ok || a == EAnswer::Cancel;
    case CMessage::Buttons::YesNo:
        return a == EAnswer::Yes || a == EAnswer::No;
    case CMessage::Buttons::YesNoCancel:
        return a != EAnswer::Ok;
    }
    return false;
}

// The answer a careful person gives to a box nobody expected: the one that
// changes nothing.
EAnswer SafeAnswer(CMessage::Buttons buttons) {
    switch (buttons) {
    case CMessage::Buttons::Ok:
        return EAnswer::Ok;
    case CMessage::Buttons::YesNo:
        return EAnswer::No;
    case CMessage::Buttons::OkCancel:
    case CMessage::Buttons::YesNoCancel:
        return EAnswer::Cancel;
    }
    return EAnswer::Cancel;
}

std::string Describe(const CScriptedInteraction::CCall& call) {
    std::ostringstream s;
    s << KindName(call.kind) << " (id " << call.id << ", caption \"" << call.caption
      << "\", text \"" << call.text << "\")";
    return s.str();
}

// Records what the core reports and answers Cancel when told to.
class CScriptedProgress : public CProgress {
public:
    CScriptedProgress(std::shared_ptr<CProgressLog> log, std::optional<int> cancelAfter)
        : m_log(std::move(log)), m_cancelAfter(cancelAfter) {}
    ~CScriptedProgress() override { m_log->closed = true; }

    void SetPhase(const std::string& text) override { m_log->phases.push_back(text); }
    void SetPage(const std::string& text) override { m_log->pages.push_back(text); }
    void SetRange(long long maximum) override {
        if (maximum <= 0) ADD_FAILURE() << "progress range set to " << maximum;
        m_log->range = maximum;
    }
    void SetPos(long long pos) override {
        if (pos < 0 || pos > m_log->range)
            ADD_FAILURE() << "progress position " << pos << " outside 0.." << m_log->range
                          << " in \"" << m_log->caption << "\"";
        m_log->positions.push_back(pos);
    }
    bool IsCancelled() override {
        bool cancel = m_cancelAfter && m_log->polls >= *m_cancelAfter;
        ++m_log->polls;
        if (cancel) m_log->cancelReported = true;
        return cancel;
    }

private:
    std::shared_ptr<CProgressLog> m_log;
    std::optional<int> m_cancelAfter;
};

} // namespace

const char* KindName(CScriptedInteraction::EKind kind) {
    using K = CScriptedInteraction::EKind;
    switch (kind) {
    case K::Message:
        return "message";
    case K::Choice:
        return "choice";
    case K::File:
        return "file chooser";
    case K::Folder:
        return "folder chooser";
    case K::Text:
        return "text question";
    case K::Progress:
        return "progress";
    case K::Browser:
        return "browser";
    }
    return "?";
}

CScriptedInteraction::~CScriptedInteraction() {
    Verify();
    if (m_waitCount != 0)
        ADD_FAILURE() << "wait count is " << m_waitCount
                      << " at the end (BeginWait/EndWait unbalanced)";
}

CScriptedInteraction& CScriptedInteraction::Push(CExpectation e) {
    m_script.push_back(std::move(e));
    return *this;
}

CScriptedInteraction& CScriptedInteraction::ExpectMessage(int id, EAnswer answer) {
    return Push({.kind = EKind::Message, .id = id, .answer = answer});
}

CScriptedInteraction& CScriptedInteraction::ExpectMessage(const std::string& fragment,
                                                          EAnswer answer) {
    return Push({.kind = EKind::Message, .fragment = fragment, .answer = answer});
}

CScriptedInteraction& CScriptedInteraction::ExpectChoice(int id, int button, bool checked) {
    return Push({.kind = EKind::Choice, .id = id, .button = button, .checked = checked});
}

CScriptedInteraction& CScriptedInteraction::ExpectChoice(const std::string& fragment, int button,
                                                         bool checked) {
    return Push(
        {.kind = EKind::Choice, .fragment = fragment, .button = button, .checked = checked});
}

CScriptedInteraction& CScriptedInteraction::ExpectChoiceWithColour(int id, int button,
                                                                   const CColor& colour) {
    return Push({.kind = EKind::Choice, .id = id, .button = button, .colour = colour});
}

CScriptedInteraction& CScriptedInteraction::ExpectFile(const std::filesystem::path& answer) {
    return Push({.kind = EKind::File, .path = answer});
}

CScriptedInteraction& CScriptedInteraction::ExpectFolder(const std::filesystem::path& answer) {
    return Push({.kind = EKind::Folder, .path = answer});
}

CScriptedInteraction& CScriptedInteraction::ExpectText(const std::string& answer) {
    return Push({.kind = EKind::Text, .text = answer});
}

CScriptedInteraction& CScriptedInteraction::ExpectTextCancel() {
    return Push({.kind = EKind::Text, .text = std::nullopt});
}

CScriptedInteraction& CScriptedInteraction::CancelProgressAfter(int polls) {
    m_cancelAfter = std::max(0, polls);
    return *this;
}

CScriptedInteraction& CScriptedInteraction::AllowUnscriptedNotices(bool allow) {
    m_allowNotices = allow;
    return *this;
}

bool CScriptedInteraction::Verify() {
    bool clean = m_script.empty();
    for (const CExpectation& e : m_script) {
        ADD_FAILURE() << "scripted " << KindName(e.kind) << " answer was never asked for"
                      << (e.id ? " (id " + std::to_string(e.id) + ")" : std::string())
                      << (e.fragment.empty() ? std::string() : " (\"" + e.fragment + "\")");
    }
    m_script.clear();
    if (m_cancelAfter) {
        ADD_FAILURE() << "a progress window was scripted to cancel but none was opened";
        m_cancelAfter.reset();
        clean = false;
    }
    return clean;
}

int CScriptedInteraction::CountCalls(EKind kind) const {
    return static_cast<int>(std::count_if(m_calls.begin(), m_calls.end(),
                                          [&](const CCall& c) { return c.kind == kind; }));
}

bool CScriptedInteraction::SawId(int id) const {
    return std::any_of(m_calls.begin(), m_calls.end(), [&](const CCall& c) { return c.id == id; });
}

bool CScriptedInteraction::SawText(const std::string& fragment) const {
    return std::any_of(m_calls.begin(), m_calls.end(), [&](const CCall& c) {
        return c.text.find(fragment) != std::string::npos ||
               c.caption.find(fragment) != std::string::npos;
    });
}

std::optional<CScriptedInteraction::CExpectation> CScriptedInteraction::Take(EKind kind,
                                                                             const CCall& call) {
    if (m_script.empty()) {
        ADD_FAILURE() << "unscripted " << Describe(call);
        return std::nullopt;
    }
    const CExpectation& e = m_script.front();
    bool fits = e.kind == kind;
    if (fits && (kind == EKind::Message || kind == EKind::Choice)) {
        fits = e.fragment.empty() ? e.id == call.id
                                  : call.text.find(e.fragment) != std::string::npos ||
                                        call.caption.find(e.fragment) != std::string::npos;
    }
    if (!fits) {
        ADD_FAILURE() << "unexpected " << Describe(call) << "; the script expected a "
                      << KindName(e.kind)
                      << (e.fragment.empty() ? " with id " + std::to_string(e.id)
                                             : " containing \"" + e.fragment + "\"");
        return std::nullopt;
    }
    CExpectation taken = std::move(m_script.front());
    m_script.pop_front();
    return taken;
}

EAnswer CScriptedInteraction::Message(const CMessage& msg) {
    CCall call{EKind::Message, msg.id, msg.caption, msg.text};
    m_calls.push_back(call);
    bool notice = msg.buttons == CMessage::Buttons::Ok && msg.icon != CMessage::Icon::Question;
    if (m_allowNotices && notice) {
        // Take a matching scripted answer when there is one, so scripts stay exact.
        if (!m_script.empty() && m_script.front().kind == EKind::Message) {
            const CExpectation& e = m_script.front();
            bool matches = e.fragment.empty() ? e.id == msg.id
                                              : msg.text.find(e.fragment) != std::string::npos;
            if (matches) m_script.pop_front();
        }
        return EAnswer::Ok;
    }
    auto e = Take(EKind::Message, call);
    if (!e) return SafeAnswer(msg.buttons);
    if (!Offers(msg.buttons, e->answer)) {
        ADD_FAILURE() << "scripted answer " << pw::AnswerName(e->answer) << " is not a button of "
                      << Describe(call);
        return SafeAnswer(msg.buttons);
    }
    return e->answer;
}

CChoiceResult CScriptedInteraction::Choose(const CChoice& choice) {
    CCall call{EKind::Choice, choice.id, choice.caption, choice.text};
    m_calls.push_back(call);
    auto e = Take(EKind::Choice, call);
    std::optional<CColor> offered;
    if (!choice.colourLabel.empty()) offered = choice.colourInitial;
    if (!e) return {-1, choice.checkBoxInitial, offered};
    if (e->button < -1 || e->button >= static_cast<int>(choice.buttons.size())) {
        ADD_FAILURE() << "scripted button " << e->button << " does not exist in " << Describe(call)
                      << " with " << choice.buttons.size() << " buttons";
        return {-1, choice.checkBoxInitial, offered};
    }
    if (e->checked && choice.checkBox.empty())
        ADD_FAILURE() << "scripted a ticked check box but " << Describe(call) << " has none";
    if (e->colour && choice.colourLabel.empty())
        ADD_FAILURE() << "scripted a colour but " << Describe(call) << " asks for none";
    return {e->button, e->checked, e->colour ? e->colour : offered};
}

std::filesystem::path CScriptedInteraction::ChooseFile(const CFileRequest& request) {
    CCall call{EKind::File, 0, request.title, request.start.string()};
    m_calls.push_back(call);
    auto e = Take(EKind::File, call);
    return e ? e->path : std::filesystem::path();
}

std::filesystem::path CScriptedInteraction::ChooseFolder(const std::string& title,
                                                         const std::filesystem::path& start) {
    CCall call{EKind::Folder, 0, title, start.string()};
    m_calls.push_back(call);
    auto e = Take(EKind::Folder, call);
    return e ? e->path : std::filesystem::path();
}

bool CScriptedInteraction::AskText(const std::string& caption, const std::string& label,
                                   std::string& text) {
    CCall call{EKind::Text, 0, caption, label};
    m_calls.push_back(call);
    auto e = Take(EKind::Text, call);
    if (!e || !e->text) return false;
    text = *e->text;
    return true;
}

std::unique_ptr<CProgress> CScriptedInteraction::OpenProgress(int id, const std::string& caption) {
    m_calls.push_back({EKind::Progress, id, caption, {}});
    auto log = std::make_shared<CProgressLog>();
    log->id = id;
    log->caption = caption;
    m_progresses.push_back(log);
    auto progress = std::make_unique<CScriptedProgress>(log, m_cancelAfter);
    m_cancelAfter.reset();
    return progress;
}

bool CScriptedInteraction::OpenInBrowser(const std::filesystem::path& file) {
    m_calls.push_back({EKind::Browser, 0, {}, file.string()});
    m_browser.push_back(file);
    return true;
}

void CScriptedInteraction::BeginWait() {
    ++m_waitCount;
    m_maxWaitCount = std::max(m_maxWaitCount, m_waitCount);
}

void CScriptedInteraction::EndWait() {
    if (m_waitCount == 0) {
        ADD_FAILURE() << "EndWait without a matching BeginWait";
        return;
    }
    --m_waitCount;
}

} // namespace pwtest
