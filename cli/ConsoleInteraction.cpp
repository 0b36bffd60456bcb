#include "cli/ConsoleInteraction.h"
#include "services/StringIds.h"
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <ostream>
#include <string>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

EAnswer DefaultAnswer(CMessage::Buttons buttons, bool assumeYes) {
    switch (buttons) {
    case CMessage::Buttons::Ok:
        return EAnswer::Ok;
    case CMessage::Buttons::OkCancel:
        return assumeYes ? EAnswer::Ok : EAnswer::Cancel;
    case CMessage::Buttons::YesNo:
        return assumeYes ? EAnswer::Yes : EAnswer::No;
    case CMessage::Buttons::YesNoCancel:
        return assumeYes ? EAnswer::Yes : EAnswer::Cancel;
    }
    return EAnswer::Cancel;
}

// Dialog buttons carry '&' mnemonics ("&Afbryd"); "&&" is a literal ampersand.
std::string WithoutMnemonic(const std::string& label) {
    std::string result;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size())
            ++i;
        else if (label[i] == '&')
            continue;
        result += label[i];
    }
    return result;
}

class CConsoleProgress : public CProgress {
public:
    CConsoleProgress(std::ostream& err, std::string caption,
                     CConsoleInteraction::EProgressMode mode)
        : m_err(err), m_caption(std::move(caption)), m_mode(mode) {}

    ~CConsoleProgress() override {
        if (m_mode == CConsoleInteraction::EProgressMode::Terminal && m_width > 0) m_err << '\n';
        m_err.flush();
    }

    void SetPhase(const std::string& text) override {
        if (text == m_phase) return;
        m_phase = text;
        m_page.clear();
        if (m_mode == CConsoleInteraction::EProgressMode::Log) {
            m_err << m_caption << ": " << m_phase << '\n';
            m_err.flush();
        }
        Show(true);
    }
    void SetPage(const std::string& text) override {
        if (text == m_page) return;
        m_page = text;
        Show(true);
    }
    void SetRange(long long maximum) override { m_range = maximum > 0 ? maximum : 1; }
    void SetPos(long long pos) override {
        if (pos < 0) pos = 0;
        if (pos > m_range) pos = m_range;
        m_pos = pos;
        Show(false);
    }
    bool IsCancelled() override { return false; }

private:
    int Percent() const { return static_cast<int>(m_pos * 100 / m_range); }

    void Show(bool textChanged) {
        int percent = Percent();
        switch (m_mode) {
        case CConsoleInteraction::EProgressMode::Off:
            return;
        case CConsoleInteraction::EProgressMode::Log:
            // Every tenth of the way is plenty in a log file.
            if (percent / 10 == m_shown / 10 && m_shown >= 0) return;
            m_shown = percent;
            m_err << m_caption << ": " << percent << "%\n";
            break;
        case CConsoleInteraction::EProgressMode::Terminal: {
            if (!textChanged && percent == m_shown) return;
            m_shown = percent;
            std::ostringstream line;
            line << m_caption << ": ";
            if (!m_phase.empty()) line << m_phase << ' ';
            if (!m_page.empty()) line << m_page << ' ';
            line << percent << '%';
            std::string text = line.str();
            size_t width = text.size();
            // Blank out what is left of a longer previous line.
            if (width < m_width) text.append(m_width - width, ' ');
            m_width = width;
            m_err << '\r' << text;
            break;
        }
        }
        m_err.flush();
    }

    std::ostream& m_err;
    std::string m_caption;
    CConsoleInteraction::EProgressMode m_mode;
    std::string m_phase;
    std::string m_page;
    long long m_range = kRange;
    long long m_pos = 0;
    int m_shown = -1;
    size_t m_width = 0;
};

// The full path of an executable found on PATH (or the command itself when it
// names a path); empty when there is none.
std::string FindExecutable(const std::string& command) {
    if (command.empty()) return {};
    if (command.find('/') != std::string::npos)
        return access(command.c_str(), X_OK) == 0 ? command : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        // An empty entry means the current folder.
        std::string candidate =
            end == start ? "./" + command : dirs.substr(start, end - start) + "/" + command;
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace

bool LaunchDetached(const std::string& command, const std::string& argument) {
    std::string program = FindExecutable(command);
    if (program.empty()) return false;
    // Everything the children need is prepared here: between fork and exec only
    // async-signal-safe calls are allowed.
    int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    const char* argv[] = {program.c_str(), argument.c_str(), nullptr};
    pid_t child = fork();
    if (child < 0) {
        if (devNull >= 0) close(devNull);
        return false;
    }
    if (child == 0) {
        // The grandchild is adopted by init, so a browser that keeps running
        // neither blocks us nor becomes our zombie.
        if (fork() != 0) _exit(0);
        setsid();
        if (devNull >= 0) {
            dup2(devNull, 0);
            dup2(devNull, 1);
            dup2(devNull, 2);
        }
        execv(program.c_str(), const_cast<char* const*>(argv));
        _exit(127);
    }
    if (devNull >= 0) close(devNull);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

CConsoleInteraction::CConsoleInteraction(std::ostream& out, std::ostream& err, COptions options)
    : m_out(out), m_err(err), m_options(std::move(options)) {}

CConsoleInteraction::CConsoleInteraction(std::ostream& out, std::ostream& err)
    : CConsoleInteraction(out, err, COptions{}) {}

CConsoleInteraction::EProgressMode CConsoleInteraction::DetectProgressMode() {
    return isatty(STDERR_FILENO) ? EProgressMode::Terminal : EProgressMode::Off;
}

void CConsoleInteraction::Print(std::ostream& to, const std::string& caption,
                                const std::string& text, const std::string& note) {
    if (!caption.empty()) to << caption << ": ";
    to << text;
    if (!note.empty()) to << " [" << note << "]";
    to << '\n';
    to.flush();
}

EAnswer CConsoleInteraction::Message(const CMessage& msg) {
    EAnswer answer = DefaultAnswer(msg.buttons, m_options.assumeYes);
    bool toErr = msg.icon == CMessage::Icon::Error || msg.icon == CMessage::Icon::Warning;
    std::string note;
    if (msg.buttons != CMessage::Buttons::Ok) note = std::string("answered ") + pw::AnswerName(answer);
    Print(toErr ? m_err : m_out, msg.caption, msg.text, note);
    return answer;
}

CChoiceResult CConsoleInteraction::Choose(const CChoice& choice) {
    CChoiceResult result;
    result.checked = choice.checkBoxInitial;
    std::string note;
    if (choice.buttons.size() == 2 && WithoutMnemonic(choice.buttons[0]) == "Ja" &&
        WithoutMnemonic(choice.buttons[1]) == "Nej") {
        // A yes/no question ("send these files?") follows the rules of the
        // message boxes: no, unless the user said yes for the whole run. The
        // answer holds for the rest of the run, as the check box says.
        const bool yes =
            choice.id == IDD_HOST_KEY_UNKNOWN ? m_options.acceptHostKey : m_options.assumeYes;
        result.button = yes ? 0 : 1;
        if (!choice.checkBox.empty()) result.checked = true;
        note = "answered " + WithoutMnemonic(choice.buttons[size_t(result.button)]);
        if (choice.id == IDD_HOST_KEY_UNKNOWN && !yes)
            note += "; after checking the fingerprint, --accept-host-key trusts it";
    } else if (!choice.buttons.empty()) {
        result.button = 0;
        note = "answered " + WithoutMnemonic(choice.buttons.front());
    }
    std::string text = choice.text;
    if (!choice.colourLabel.empty()) {
        // Nobody can pick a colour here: the offered one is the answer.
        const COLORREF ref = choice.colourInitial.GetCOLORREF();
        text += "\n" + choice.colourLabel + " (" + std::to_string(ref & 0xFF) + ", " +
                std::to_string((ref >> 8) & 0xFF) + ", " + std::to_string((ref >> 16) & 0xFF) + ")";
        result.colour = choice.colourInitial;
    }
    Print(m_out, choice.caption, text, note);
    return result;
}

std::filesystem::path CConsoleInteraction::ChooseFile(const CFileRequest& request) {
    Print(m_err, request.title.empty() ? "pagewright" : request.title, "no file can be chosen here",
          "cancelled");
    return {};
}

std::filesystem::path CConsoleInteraction::ChooseFolder(const std::string& title,
                                                        const std::filesystem::path&) {
    Print(m_err, title.empty() ? "pagewright" : title, "no folder can be chosen here", "cancelled");
    return {};
}

bool CConsoleInteraction::AskText(const std::string& caption, const std::string& label,
                                  std::string&) {
    Print(m_err, caption, label, "cancelled");
    return false;
}

std::unique_ptr<CProgress> CConsoleInteraction::OpenProgress(int, const std::string& caption) {
    return std::make_unique<CConsoleProgress>(m_err, caption, m_options.progress);
}

bool CConsoleInteraction::OpenInBrowser(const std::filesystem::path& file) {
    std::string target = file.string();
    // A name starting with '-' would be read as an option by the opener.
    if (!target.empty() && target.front() == '-') target = "./" + target;
    if (LaunchDetached(m_options.browserCommand, target)) return true;
    m_out << "Open in a browser: " << file.string() << '\n';
    m_out.flush();
    return false;
}
