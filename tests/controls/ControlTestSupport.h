#pragma once
// Shared helpers of the control tests (a header, so each test file stays its
// own program).
#include "controls/ControlBase.h"
#include "tests/support/WhenShown.h"
#include <QApplication>
#include <QWidget>
#include <functional>
#include <vector>

// Every notification a control sends, in order, as (changed?, code).
struct CNotes {
    struct CNote {
        bool complete;
        int code;
        bool operator==(const CNote& o) const { return complete == o.complete && code == o.code; }
    };
    std::vector<CNote> list;
    explicit CNotes(CControlBase* c) {
        QObject::connect(c, &CControlBase::changing, [this, c](int id, int code) {
            if (id == c->Id()) list.push_back({false, code});
        });
        QObject::connect(c, &CControlBase::changed, [this, c](int id, int code) {
            if (id == c->Id()) list.push_back({true, code});
        });
    }
    int Count(bool complete) const {
        int n = 0;
        for (const CNote& note : list) n += note.complete == complete;
        return n;
    }
};


// Puts a control of the given size into a shown top-level window, so it gets
// real paint events and grabs at device pixel ratio 1.
template <class T> T* Place(QWidget& host, int width, int height, int id = 77) {
    auto* c = new T;
    c->Create(QRect(5, 5, width, height), &host, id);
    host.resize(width + 10, height + 10);
    host.show();
    return c;
}
