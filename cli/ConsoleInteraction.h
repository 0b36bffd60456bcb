#pragma once
#include "services/UserInteraction.h"
#include <iosfwd>
#include <string>

// The user-interaction port for the command-line program. Nobody is there to
// answer, so every question gets the answer that cannot lose data and never
// waits for input:
//   - Ok-only boxes: Ok; Ok/Cancel, Yes/No/Cancel: Cancel; Yes/No: No
//     (with "assume yes": Ok/Yes instead);
//   - own-button dialogs: their first (default) button, check box unchanged;
//     those asking "Ja"/"Nej" are yes/no questions: Nej unless "assume yes",
//     and the answer stands for the run (the check box is ticked);
//   - file and folder choosers: cancelled; text questions: cancelled.
// Errors and warnings go to the error stream as "caption: text", everything
// else to the output stream. Progress is a percentage line on the error stream.
class CConsoleInteraction : public CUserInteraction {
public:
    enum class EProgressMode {
        Off,      // say nothing
        Terminal, // one line rewritten in place (for a terminal)
        Log       // a new line each time the whole percentage or the phase changes
    };

    struct COptions {
        bool assumeYes = false;
        // Trust an SFTP server's unknown host key (the question is answered
        // by this alone: "assume yes" does not trust a key nobody saw).
        bool acceptHostKey = false;
        EProgressMode progress = EProgressMode::Off;
        // Program that opens a file or address in the user's browser, looked up
        // on PATH when it has no slash. Empty: never launch, only print the path.
        std::string browserCommand = "xdg-open";
    };

    CConsoleInteraction(std::ostream& out, std::ostream& err, COptions options);
    CConsoleInteraction(std::ostream& out, std::ostream& err);

    // Terminal when standard error is a terminal, otherwise Off.
    static EProgressMode DetectProgressMode();

    EAnswer Message(const CMessage& msg) override;
    CChoiceResult Choose(const CChoice& choice) override;
    std::filesystem::path ChooseFile(const CFileRequest& request) override;
    std::filesystem::path ChooseFolder(const std::string& title,
                                       const std::filesystem::path& start) override;
    bool AskText(const std::string& caption, const std::string& label, std::string& text) override;
    std::unique_ptr<CProgress> OpenProgress(int id, const std::string& caption) override;
    bool OpenInBrowser(const std::filesystem::path& file) override;
    void BeginWait() override { ++m_waitCount; }
    void EndWait() override {
        if (m_waitCount > 0) --m_waitCount;
    }
    int WaitCount() const { return m_waitCount; }

private:
    void Print(std::ostream& to, const std::string& caption, const std::string& text,
               const std::string& note = {});

    std::ostream& m_out;
    std::ostream& m_err;
    COptions m_options;
    int m_waitCount = 0;
};

// Starts `command` with `argument` as its one argument, detached, without a
// shell and with its output silenced. False when the program cannot be found.
bool LaunchDetached(const std::string& command, const std::string& argument);
