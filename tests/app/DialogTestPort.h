#pragma once
// Shared by the dialog tests: a port that answers from queues, and a way to
// act on a modal dialog once its event loop runs.
#include "services/UserInteraction.h"
#include "tests/support/WhenShown.h"
#include <QApplication>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class CQueuedPort : public CUserInteraction {
public:
    std::deque<EAnswer> messages;
    std::deque<int> choices;
    std::deque<bool> checks; // the check box of each choice; empty: as offered
    std::deque<std::string> texts; // "\x1b": cancel
    std::deque<std::filesystem::path> files;
    std::vector<std::string> asked; // captions, in order

    EAnswer Message(const CMessage& m) override {
        asked.push_back(m.caption);
        return Pop(messages, EAnswer::Cancel);
    }
    CChoiceResult Choose(const CChoice& c) override {
        asked.push_back(c.caption);
        return {Pop(choices, -1), Pop(checks, c.checkBoxInitial), {}};
    }
    std::filesystem::path ChooseFile(const CFileRequest& r) override {
        asked.push_back(r.title);
        return Pop(files, {});
    }
    std::filesystem::path ChooseFolder(const std::string& title,
                                       const std::filesystem::path&) override {
        asked.push_back(title);
        return Pop(files, {});
    }
    bool AskText(const std::string& caption, const std::string&, std::string& text) override {
        asked.push_back(caption);
        std::string answer = Pop(texts, std::string("\x1b"));
        if (answer == "\x1b") return false;
        text = answer;
        return true;
    }
    std::unique_ptr<CProgress> OpenProgress(int, const std::string&) override { return nullptr; }
    bool OpenInBrowser(const std::filesystem::path&) override { return false; }
    void BeginWait() override {}
    void EndWait() override {}
    // Every answer was used.
    bool Drained() const {
        return messages.empty() && choices.empty() && checks.empty() && texts.empty() &&
               files.empty();
    }

private:
    template <class T> static T Pop(std::deque<T>& q, T fallback) {
        if (q.empty()) return fallback;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

// Keeps a picture of `widget` as <name>.png when PW_SCREENSHOT_DIR names a
// folder (the README's dialog pictures are made this way, under Xvfb).
inline void KeepPicture(QWidget* widget, const char* name) {
    const QByteArray dir = qgetenv("PW_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    widget->show();
    widget->adjustSize();
    QApplication::processEvents();
    widget->grab().save(QString::fromUtf8(dir) + QLatin1Char('/') + QLatin1String(name) +
                        QStringLiteral(".png"));
}

