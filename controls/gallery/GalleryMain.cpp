// controls-gallery: one window with every control of the library, enabled and
// disabled, for screenshots and for scripted sessions under a real X server.
// Every notification is printed as "changing|changed NAME CODE VALUE", and
// once the window is up each control's screen rectangle as "at NAME X Y W H"
// followed by "ready", so a script can click on them.
#include "controls/BitmapListControl.h"
#include "controls/ButtonControl.h"
#include "controls/ColorControl.h"
#include "controls/ControlResources.h"
#include "controls/FlatButtonControl.h"
#include "controls/GradientDesignerDialog.h"
#include "controls/GradientControl.h"
#include "controls/IconControl.h"
#include "controls/SliderControl.h"
#include "controls/WheelControl.h"
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
struct CEntry {
    QString name;
    CControlBase* control;
    std::function<QString()> value;
};

QImage Swatch(int hue, int size, qreal dpr) {
    QImage image(QSize(size, size) * dpr, QImage::Format_RGB888);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size, size);
    g.setColorAt(0, QColor::fromHsv(hue, 200, 250));
    g.setColorAt(1, QColor::fromHsv((hue + 60) % 360, 255, 120));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, size - 4, size - 4), 6, 6);
    return image;
}

QImage FlatPicture(bool highlighted, qreal dpr) {
    QImage image(QSize(20, 20) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(highlighted ? QColor(0, 110, 220) : QColor(80, 80, 80));
    p.drawEllipse(QRectF(3, 3, 14, 14));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 6, 2, 8));
    p.drawRect(QRectF(6, 9, 8, 2));
    return image;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Controls gallery"));
    auto* grid = new QGridLayout(&window);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    auto* status = new QLabel(QStringLiteral("Ready"));
    std::vector<CEntry> entries;
    const qreal dpr = window.devicePixelRatioF();

    auto report = [&entries, status](const char* kind, CControlBase* c, int code) {
        for (const CEntry& e : entries) {
            if (e.control != c) continue;
            const QString line =
                QStringLiteral("%1 %2 %3 %4").arg(kind, e.name).arg(code).arg(e.value());
            status->setText(line);
            std::printf("%s\n", line.toUtf8().constData());
            std::fflush(stdout);
        }
    };
    int row = 0;
    auto add = [&](const QString& label, const QString& name, CControlBase* on, CControlBase* off,
                   std::function<QString()> value) {
        grid->addWidget(new QLabel(label), row, 0);
        grid->addWidget(on, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
        if (off) {
            off->Enable(false);
            grid->addWidget(off, row, 2, Qt::AlignLeft | Qt::AlignVCenter);
        }
        ++row;
        entries.push_back({name, on, value});
        QObject::connect(on, &CControlBase::changing,
                         [report, on](int, int code) { report("changing", on, code); });
        QObject::connect(on, &CControlBase::changed,
                         [report, on](int, int code) { report("changed", on, code); });
    };

    grid->addWidget(new QLabel(QStringLiteral("<b>Enabled</b>")), row, 1);
    grid->addWidget(new QLabel(QStringLiteral("<b>Disabled</b>")), row, 2);
    ++row;

    auto wheelOf = [](int value) {
        auto* w = new CWheelControl;
        w->setFixedSize(41, 41);
        w->Init(360, value, 2, 1);
        return w;
    };
    auto* wheel = wheelOf(45);
    auto* wheel8 = new CWheelControl;
    wheel8->setFixedSize(41, 41);
    wheel8->Init(8, 0, 3, 0);
    add(QStringLiteral("Wheel (360)"), QStringLiteral("wheel"), wheel, wheelOf(135),
        [wheel] { return QString::number(wheel->WheelGetValue()); });
    add(QStringLiteral("Wheel (8, knob)"), QStringLiteral("wheel8"), wheel8, nullptr,
        [wheel8] { return QString::number(wheel8->WheelGetValue()); });

    auto sliderOf = [](int value, bool top) {
        auto* s = new CSliderControl;
        s->setFixedSize(160, 20);
        s->Init(101, value, top);
        return s;
    };
    auto* slider = sliderOf(50, false);
    auto* sliderTop = sliderOf(25, true);
    add(QStringLiteral("Slider (101)"), QStringLiteral("slider"), slider, sliderOf(70, false),
        [slider] { return QString::number(slider->GetValue()); });
    add(QStringLiteral("Slider, thumb at top"), QStringLiteral("slidertop"), sliderTop, nullptr,
        [sliderTop] { return QString::number(sliderTop->GetValue()); });

    auto colourOf = [](CColor c) {
        auto* b = new CColorControl;
        b->setFixedSize(44, 22);
        b->Init(&c);
        return b;
    };
    auto* colour = colourOf(CColor(200, 40, 40));
    add(QStringLiteral("Colour"), QStringLiteral("colour"), colour, colourOf(CColor(40, 120, 200)),
        [colour] {
            const COLORREF r = colour->GetColor().GetCOLORREF();
            return QStringLiteral("%1,%2,%3").arg(r & 0xFF).arg((r >> 8) & 0xFF).arg((r >> 16) & 0xFF);
        });

    auto* icons = new QWidget;
    auto* iconRow = new QHBoxLayout(icons);
    iconRow->setContentsMargins(0, 0, 0, 0);
    for (int kind = 0; kind < 5; ++kind) {
        auto* icon = new CIconControl;
        icon->setFixedSize(32, 32);
        icon->Init(kind);
        iconRow->addWidget(icon);
    }
    grid->addWidget(new QLabel(QStringLiteral("Icons 0-4")), row, 0);
    grid->addWidget(icons, row++, 1, 1, 2, Qt::AlignLeft);

    auto* buttons = new QWidget;
    auto* buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->setSpacing(2);
    CButtonControl* bold = nullptr;
    for (int id = ctl::kButtonBold; id <= ctl::kButtonAlignRight; ++id) {
        auto* b = new CButtonControl;
        b->setFixedSize(26, 26);
        b->Init(id);
        b->SetCheck(id == ctl::kButtonBold || id == ctl::kButtonAlignLeft);
        buttonRow->addWidget(b);
        if (!bold) bold = b;
        if (id == ctl::kButtonAlignCenter) b->Enable(false);
    }
    grid->addWidget(new QLabel(QStringLiteral("Two-state buttons")), row, 0);
    grid->addWidget(buttons, row++, 1, 1, 2, Qt::AlignLeft);
    entries.push_back({QStringLiteral("bold"), bold,
                       [bold] { return QString::number(bold->GetCheck() ? 1 : 0); }});
    QObject::connect(bold, &CControlBase::changed,
                     [report, bold](int, int code) { report("changed", bold, code); });

    auto flatOf = [dpr] {
        auto* f = new CFlatButtonControl;
        f->setFixedSize(26, 26);
        f->SetPictures(FlatPicture(false, dpr), FlatPicture(true, dpr), QStringLiteral("Add"));
        return f;
    };
    auto* flat = flatOf();
    add(QStringLiteral("Flat button"), QStringLiteral("flat"), flat, flatOf(),
        [] { return QStringLiteral("-"); });

    auto gradientOf = [](int no) {
        auto* g = new CGradientControl;
        g->setFixedSize(160, 20);
        g->Init();
        GRADIENTCOLORS colours;
        CGradientControl::GetPredefinedGradient(colours, no);
        g->ChangeGradient(colours);
        return g;
    };
    auto* gradient = gradientOf(3);
    add(QStringLiteral("Gradient picker"), QStringLiteral("gradient"), gradient, gradientOf(2),
        [gradient] { return QString::number(gradient->GetCurrentGradient()->kind); });

    auto listOf = [dpr] {
        auto* l = new CBitmapListControl;
        l->setFixedSize(240, 64);
        l->Init(12, 0, 2, 9);
        for (int i = 0; i < 18; ++i) l->Add(Swatch(i * 20, 48, dpr));
        l->Select(1);
        return l;
    };
    auto* list = listOf();
    add(QStringLiteral("Bitmap list"), QStringLiteral("list"), list, listOf(),
        [list] { return QString::number(list->GetSelected()); });

    grid->addWidget(status, row++, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    window.show();

    // --designer also shows the gradient designer (for its screenshot).
    if (QCoreApplication::arguments().contains(QStringLiteral("--designer"))) {
        auto* designer = new CGradientDesignerDialog(*gradient->GetCurrentGradient(), &window);
        designer->move(window.x(), window.frameGeometry().bottom() + 20);
        designer->show();
    }

    QTimer::singleShot(300, [&entries] {
        for (const CEntry& e : entries) {
            const QPoint at = e.control->mapToGlobal(QPoint(0, 0));
            std::printf("at %s %d %d %d %d\n", e.name.toUtf8().constData(), at.x(), at.y(),
                        e.control->width(), e.control->height());
        }
        std::printf("ready\n");
        std::fflush(stdout);
    });
    return app.exec();
}
