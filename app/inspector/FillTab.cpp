#include "app/inspector/FillTab.h"
#include "app/dialogs/DialogKit.h"
#include "controls/ColorControl.h"
#include "controls/GradientControl.h"
#include "editor/EditorContext.h"
#include "editor/EditorDialogs.h"
#include "model/ObjectFill.h"
#include "model/Page.h"
#include "model/PageObject.h"
#include "model/TextObject.h"
#include "services/DataFolders.h"
#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

using pw::dialogs::FromModel;
using pw::dialogs::ToModel;
using pw::inspector::Caption;

// ---------------------------------------------------------------- shared widgets

int CFillWidgets::Build(QGridLayout* grid, QWidget* page, int row) {
    kinds = new QButtonGroup(page);
    solid = new QRadioButton(QStringLiteral("&Ensfarvet"), page);
    picture = new QRadioButton(QStringLiteral("&Billede"), page);
    gradient = new QRadioButton(QStringLiteral("&Gradueret"), page);
    kinds->addButton(solid, 0);
    kinds->addButton(picture, 1);
    kinds->addButton(gradient, 2);
    auto* radios = new QHBoxLayout;
    radios->addWidget(solid);
    radios->addWidget(picture);
    radios->addWidget(gradient);
    radios->addStretch(1);
    grid->addLayout(radios, row++, 0, 1, 3);

    colour = new CColorControl(page);
    colour->setFixedSize(colour->sizeHint());
    picked = new QPushButton(QStringLiteral("<--&Udvalgt Farve"), page);
    picked->setToolTip(QStringLiteral("Tager farven fra pipetten"));
    auto* colours = new QHBoxLayout;
    colours->addWidget(colour);
    colours->addWidget(picked);
    colours->addStretch(1);
    grid->addWidget(Caption(QStringLiteral("Farve:"), colour, page), row, 0);
    grid->addLayout(colours, row++, 1, 1, 2);

    path = new QLineEdit(page);
    browse = new QPushButton(QStringLiteral(".."), page);
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    browse->setToolTip(QStringLiteral("Vælg et billede"));
    auto* files = new QHBoxLayout;
    files->addWidget(path, 1);
    files->addWidget(browse);
    grid->addWidget(Caption(QStringLiteral("Billede:"), path, page), row, 0);
    grid->addLayout(files, row++, 1, 1, 2);

    gradientPicker = new CGradientControl(page);
    gradientPicker->Init();
    gradientPicker->setMinimumHeight(22);
    grid->addWidget(Caption(QStringLiteral("F&orløb:"), gradientPicker, page), row, 0);
    grid->addWidget(gradientPicker, row++, 1, 1, 2);
    return row;
}

void CFillWidgets::Wire(QWidget* page, const CEditorContext& editor, CActions a) {
    QObject::connect(kinds, &QButtonGroup::idClicked, page, [this, page, a](int kind) {
        if (kind == 0) {
            a.colour(colour->GetColor());
        } else if (kind == 1) {
            std::string file = ToModel(path->text().trimmed());
            if (file.empty()) file = ChoosePicture(page, {});
            // Nothing chosen: the old kind stays.
            if (file.empty())
                a.reload();
            else
                a.picture(file);
        } else if (kind == 2) {
            a.gradient();
        }
    });
    QObject::connect(colour, &CControlBase::changed, page,
                     [this, a](int, int) { a.colour(colour->GetColor()); });
    QObject::connect(picked, &QPushButton::clicked, page,
                     [&editor, a] { a.colour(editor.PickedColor()); });
    QObject::connect(path, &QLineEdit::editingFinished, page, [this, a] {
        const std::string file = ToModel(path->text().trimmed());
        if (!file.empty()) a.picture(file);
    });
    QObject::connect(browse, &QPushButton::clicked, page, [this, page, a] {
        const std::string file = ChoosePicture(page, ToModel(path->text()));
        if (file.empty())
            a.reload();
        else
            a.picture(file);
    });
    QObject::connect(gradientPicker, &CControlBase::changed, page, [a](int, int) { a.gradient(); });
}

std::string CFillWidgets::ChoosePicture(QWidget* parent, const std::string& current) {
    const QString start =
        current.empty() ? QString() : QFileInfo(FromModel(current)).absolutePath();
    const QString file = pw::EditorDialogs().choosePicture(parent, start);
    return file.isEmpty() ? std::string() : ToModel(file);
}

// ---------------------------------------------------------------- fill page

std::string CFillTab::TexturePath(int index) {
    return (CDataFolders::DataFolder() / "Textures" / ("tex" + std::to_string(index + 1) + ".jpg"))
        .string();
}

CFillTab::CFillTab(CInspectorContext& context, QWidget* parent) : CInspectorTab(context, parent) {
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    int row = m_w.Build(grid, this, 0);
    m_textColour = new QRadioButton(QStringLiteral("&Tekst Farve"), this);
    m_w.kinds->addButton(m_textColour, 3);
    grid->addWidget(m_textColour, row++, 0, 1, 3);
    m_direction =
        new CDirectionRow(grid, row++, QStringLiteral("&Retning:"), this, [this](int angle) {
            Change([angle](CObjectFill& fill) {
                CFillGradient g = fill.GetGradient();
                g.angle = angle;
                fill.SetGradient(g);
            });
        });

    auto* textures = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        auto* button = new QPushButton(this);
        const QPixmap sample(QString::fromStdString(TexturePath(i)));
        if (!sample.isNull()) {
            button->setIcon(
                QIcon(sample.scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
            button->setIconSize(QSize(24, 24));
        } else {
            button->setText(QString::number(i + 1));
        }
        button->setToolTip(QStringLiteral("Struktur %1").arg(i + 1));
        button->setAccessibleName(button->toolTip());
        m_textures[static_cast<std::size_t>(i)] = button;
        textures->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] {
            const std::string file = TexturePath(i);
            Change([file](CObjectFill& fill) { fill.SetImagePath(file); });
        });
    }
    textures->addStretch(1);
    grid->addWidget(Caption(QStringLiteral("Strukturer:"), m_textures[0], this), row, 0);
    grid->addLayout(textures, row++, 1, 1, 2);
    grid->setRowStretch(row, 1);

    m_w.Wire(this, m_context.editor,
             {[this](const CColor& c) { Change([c](CObjectFill& fill) { fill.SetColour(c); }); },
              [this](const std::string& file) {
                  Change([file](CObjectFill& fill) { fill.SetImagePath(file); });
              },
              [this] {
                  GRADIENTCOLORS colours;
                  m_w.gradientPicker->CopyCurrentGradient(colours);
                  const int angle = m_direction->Value();
                  Change([colours, angle](CObjectFill& fill) {
                      fill.SetGradient(CFillGradient(colours, angle));
                  });
              },
              [this] { Refresh(); }});
    connect(m_w.kinds, &QButtonGroup::idClicked, this, [this](int kind) {
        if (kind == 3) Change([](CObjectFill& fill) { fill.SetTextColour(); });
    });
}

void CFillTab::Change(const std::function<void(CObjectFill&)>& change) {
    if (CPage* page = Page()) EditFill(*page, change);
    Applied();
}

void CFillTab::Refresh() {
    CPage* page = Page();
    if (!EnableAll(page && CanInspect(*page, EInspectorNeed::Fill))) return;
    const CPageObject* object = InspectedObject(*page);
    const CObjectFill* fill = object->GetFill();
    if (!EnableAll(fill != nullptr)) return;
    // A text shown as HTML can only be one colour.
    const auto* text = dynamic_cast<const CTextObject*>(object);
    const bool plainText = text && !text->Advanced();
    m_w.picture->setEnabled(!plainText);
    m_w.browse->setEnabled(!plainText);
    m_w.gradient->setEnabled(!plainText);
    m_textColour->setEnabled(text != nullptr);

    const int type = fill->GetType();
    if (QAbstractButton* button = m_w.kinds->button(type)) {
        button->setChecked(true);
    } else {
        // A picture held in the file has no button: none is checked.
        m_w.kinds->setExclusive(false);
        for (QAbstractButton* b : m_w.kinds->buttons())
            b->setChecked(false);
        m_w.kinds->setExclusive(true);
    }
    m_w.colour->SetColor(fill->GetColour());
    m_w.path->setText(FromModel(fill->GetImagePath()));
    m_w.gradientPicker->ChangeGradient(fill->GetGradient());
    m_direction->SetValue(fill->GetGradient().angle);
}
