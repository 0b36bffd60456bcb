#pragma once
#include "image/Color.h"
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The one seam through which core code talks to the person at the screen.
// The designer answers with Qt dialogs, the command-line program with console
// output and non-interactive defaults, the tests with scripted answers.
// All texts are UTF-8 and are shown unchanged.

enum class EAnswer { Ok, Cancel, Yes, No };

namespace pw {
// "Ok", "Cancel", "Yes" or "No": the answer as logs and traces name it.
const char* AnswerName(EAnswer answer);
} // namespace pw

// A message box with a fixed text, caption, icon and the usual button sets.
struct CMessage {
    enum class Icon { Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    int id = 0; // string/dialog id of the text, 0 when none; lets scripts and logs name it
    std::string caption;
    std::string text;
    Icon icon = Icon::Information;
    Buttons buttons = Buttons::Ok;
};

// A dialog with its own buttons (for example "&Afbryd" / "&Fortsæt") and an
// optional check box (for example "Vis ikke denne dialog-boks igen").
struct CChoice {
    int id = 0;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons; // first is the default
    std::string checkBox;             // empty: no check box
    bool checkBoxInitial = false;
    // A colour the user may change before answering (for example the solid
    // colour a missing picture gives way to), shown as a swatch after this
    // label. Empty label: no colour is asked for.
    std::string colourLabel{};
    CColor colourInitial{};
};

struct CChoiceResult {
    int button = -1; // index into CChoice::buttons; -1 when closed without a choice
    bool checked = false;
    // The colour the user left in the swatch; empty when the port did not
    // offer one (the asker then keeps CChoice::colourInitial).
    std::optional<CColor> colour;
};

struct CFileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;
    std::filesystem::path start;    // folder or proposed file
    std::vector<std::string> filters; // "Hjemmesider (*.pwu)" style entries
    std::string defaultSuffix;        // without the dot
};

// A status window with phase and page labels, a 0..1000000 progress bar and
// a Cancel button that the core polls between steps.
class CProgress {
public:
    static constexpr int kRange = 1000000;
    virtual ~CProgress() = default;
    virtual void SetPhase(const std::string& text) = 0;
    virtual void SetPage(const std::string& text) = 0;
    virtual void SetRange(long long maximum) = 0; // kRange unless told otherwise
    virtual void SetPos(long long pos) = 0;
    // Polls without waiting; true once the user has pressed Cancel.
    virtual bool IsCancelled() = 0;
    // Called every few milliseconds while the core waits for work running on
    // other threads, so a window can repaint and take the Cancel click in
    // time; true once the user has pressed Cancel. Unlike IsCancelled, how
    // often it comes depends on the machine, so the default says no.
    virtual bool PollWhileWaiting() { return false; }
};

class CUserInteraction {
public:
    virtual ~CUserInteraction() = default;

    virtual EAnswer Message(const CMessage& msg) = 0;
    virtual CChoiceResult Choose(const CChoice& choice) = 0;
    // Empty path when cancelled.
    virtual std::filesystem::path ChooseFile(const CFileRequest& request) = 0;
    virtual std::filesystem::path ChooseFolder(const std::string& title,
                                               const std::filesystem::path& start) = 0;
    // A line of text from the user (for example a profile name); false when cancelled.
    virtual bool AskText(const std::string& caption, const std::string& label, std::string& text) = 0;
    virtual std::unique_ptr<CProgress> OpenProgress(int id, const std::string& caption) = 0;
    // Opens a built page or an address in the user's browser.
    virtual bool OpenInBrowser(const std::filesystem::path& file) = 0;
    // Long work starts and ends; the designer shows a wait cursor while the count is above 0.
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;

    // Conveniences on top of Message.
    void Inform(const std::string& caption, const std::string& text, int id = 0);
    void Error(const std::string& caption, const std::string& text, int id = 0);
    bool AskYesNo(const std::string& caption, const std::string& text, int id = 0);
    EAnswer AskYesNoCancel(const std::string& caption, const std::string& text, int id = 0);
};

// Keeps the wait count balanced across early returns and exceptions.
class CWaitScope {
public:
    explicit CWaitScope(CUserInteraction& ui) : m_ui(ui) { m_ui.BeginWait(); }
    ~CWaitScope() { m_ui.EndWait(); }
    CWaitScope(const CWaitScope&) = delete;
    CWaitScope& operator=(const CWaitScope&) = delete;

private:
    CUserInteraction& m_ui;
};
