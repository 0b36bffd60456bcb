#pragma once
#include "services/UserInteraction.h"
#include <QPointer>
#include <functional>
#include <QUrl>
#include <QWidget>

// The user-interaction port for the designer: Qt message boxes, file and
// folder dialogs, an input dialog, a modal progress window and the wait
// cursor. Texts arrive in UTF-8 and are shown as plain text, never as markup,
// so a file name with '<' in it shows as written.
class CQtInteraction : public CUserInteraction {
public:
    explicit CQtInteraction(QWidget* parent = nullptr);
    ~CQtInteraction() override;
    CQtInteraction(const CQtInteraction&) = delete;
    CQtInteraction& operator=(const CQtInteraction&) = delete;

    // The window the dialogs belong to (they centre on it and block it).
    void SetParent(QWidget* parent) { m_parent = parent; }

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
    int WaitCount() const { return m_waitCount; }

    // The address a file or web address is opened at: web, mail and ftp
    // addresses as they are, anything else as a local file made absolute.
    static QUrl BrowserUrl(const std::filesystem::path& file);

    // When set, pages to show go here first; it answers whether it showed
    // the page (the program's own browser window during a preview).
    std::function<bool(const std::filesystem::path& file)> browserHook;

private:
    QPointer<QWidget> m_parent;
    int m_waitCount = 0;
};

// Path conversions at the GUI boundary (paths are UTF-8 on this system).
QString ToQString(const std::filesystem::path& path);
std::filesystem::path ToPath(const QString& text);
