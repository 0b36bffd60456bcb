#include "app/ToolWindowMnemonics.h"
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QTabBar>
#include <algorithm>

namespace {
bool HasMnemonic(const QString& text, int key) {
    return QKeySequence::mnemonic(text) == QKeySequence(Qt::ALT | Qt::Key(key));
}

int TabWithMnemonic(const QTabBar& tabs, int key) {
    for (int i = 0; i < tabs.count(); ++i)
        if (tabs.isTabEnabled(i) && HasMnemonic(tabs.tabText(i), key)) return i;
    return -1;
}

// What Qt does for an unambiguous mnemonic.
void Activate(QWidget* target, int key) {
    if (auto* tabs = qobject_cast<QTabBar*>(target)) {
        tabs->setCurrentIndex(TabWithMnemonic(*tabs, key));
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(target)) target = label->buddy();
    auto* button = qobject_cast<QAbstractButton*>(target);
    if (button && button->focusPolicy() != Qt::NoFocus) button->setFocus(Qt::ShortcutFocusReason);
    if (button)
        button->click();
    else
        target->setFocus(Qt::ShortcutFocusReason);
}
} // namespace

CToolWindowMnemonics::CToolWindowMnemonics(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

CToolWindowMnemonics::~CToolWindowMnemonics() = default;

void CToolWindowMnemonics::Add(QWidget* window) {
    m_windows.emplace_back(window);
}

QWidget* CToolWindowMnemonics::Target(QWidget* window, int key) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled()) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (HasMnemonic(button->text(), key)) return button;
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->buddy() && label->buddy()->isEnabled() && HasMnemonic(label->text(), key))
                return label;
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            if (TabWithMnemonic(*tabs, key) >= 0) return tabs;
        }
    }
    return nullptr;
}

bool CToolWindowMnemonics::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    QWidget* window = widget->window();
    if (std::find(m_windows.begin(), m_windows.end(), window) == m_windows.end()) return false;
    QWidget* target = Target(window, key->key());
    if (!target) return false;
    // Taking the override keeps the shortcut map out of it; the key press
    // that follows then does the work.
    event->accept();
    if (event->type() == QEvent::KeyPress) Activate(target, key->key());
    return true;
}
