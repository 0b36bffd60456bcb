#pragma once
// For Qt tests: acting on a modal dialog, which only appears once the event
// loop of its exec() runs, after the call that opens it has been made.
#include <QApplication>
#include <QTimer>
#include <functional>

// Waits, from inside the modal loop that is about to run, for a visible modal
// dialog of type T and lets `act` answer it.
template <class T> void WhenShown(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}
