#pragma once
#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

// Gives tool windows their own Alt+letter mnemonics first.
//
// While a tool window of the main window is active, Qt keeps the main
// window's shortcuts working, its menu bar's Alt+letters included. Where a
// letter is both a menu's and a control's of the tool window ("&Side" and
// "&Slå til"), Qt calls the shortcut ambiguous: a check box then only takes
// the focus and a label's buddy and the menu take turns. The window in front
// is the one the user is looking at, so its control wins; letters it does not
// use still open the main window's menus.
class CToolWindowMnemonics final : public QObject {
public:
    explicit CToolWindowMnemonics(QObject* parent = nullptr);
    ~CToolWindowMnemonics() override;

    void Add(QWidget* window);

    // The visible, enabled control of `window` whose mnemonic is Alt+`key`
    // (a button, a tab, or the buddy-carrying label), or null.
    static QWidget* Target(QWidget* window, int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<QPointer<QWidget>> m_windows;
};
