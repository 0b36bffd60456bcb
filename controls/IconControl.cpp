#include "controls/IconControl.h"
#include "controls/ControlResources.h"
#include <QPainter>

CIconControl::CIconControl(QWidget* parent) : CControlBase(parent) {}

int CIconControl::ResourceFor(int kind) {
    switch (kind) {
    case 0: return ctl::kIconInfo;
    case 1: return ctl::kIconWarning;
    case 2: return ctl::kIconError;
    case 3: return ctl::kIconTip;
    default: return ctl::kIconQuestion;
    }
}

void CIconControl::Init(int kind) {
    m_kind = kind;
    Redraw();
}

void CIconControl::Draw(QPainter& p) {
    const int id = ResourceFor(m_kind);
    QSize s = ctl::ResourceImageSize(id);
    s.scale(s.boundedTo(size()), Qt::KeepAspectRatio);
    const QImage image = ctl::ResourceImage(id, p.device()->devicePixelRatioF(), s);
    p.drawImage(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), image);
}
