#include "app/inspector/PageTabs.h"
#include "app/dialogs/DialogKit.h"
#include "controls/ColorControl.h"
#include "controls/GradientControl.h"
#include "editor/EditorContext.h"
#include "model/BackgroundFill.h"
#include "model/Page.h"
#include "model/Site.h"
#include "services/UserInteraction.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

using pw::dialogs::FromModel;
using pw::dialogs::FromUtf8;
using pw::dialogs::ToModel;
using pw::inspector::Caption;

namespace {
QSpinBox* SizeBox(int minimum, int maximum, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setKeyboardTracking(false);
    return box;
}
} // namespace

// ---------------------------------------------------------------- info

CPageInfoTab::CPageInfoTab(CInspectorContext& context, QWidget* parent)
    : CInspectorTab(context, parent), m_title(new QLineEdit(this)), m_id(new QLineEdit(this)),
      m_width(SizeBox(CBackgroundFill::kMinWidth, CBackgroundFill::kMaxWidth, this)),
      m_height(SizeBox(CBackgroundFill::kMinHeight, CBackgroundFill::kMaxHeight, this)),
      m_sizes(new QComboBox(this)), m_front(new QCheckBox(QStringLiteral("&Forside"), this)) {
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    grid->addWidget(Caption(QStringLiteral("Side &Titel:"), m_title, this), 0, 0);
    grid->addWidget(m_title, 0, 1, 1, 3);
    grid->addWidget(Caption(QStringLiteral("Side &ID:"), m_id, this), 1, 0);
    grid->addWidget(m_id, 1, 1, 1, 3);
    grid->addWidget(Caption(QStringLiteral("&Bredde:"), m_width, this), 2, 0);
    grid->addWidget(m_width, 2, 1);
    grid->addWidget(Caption(QStringLiteral("&Højde:"), m_height, this), 3, 0);
    grid->addWidget(m_height, 3, 1);
    grid->addWidget(Caption(QStringLiteral("St&ørrelse:"), m_sizes, this), 4, 0);
    grid->addWidget(m_sizes, 4, 1, 1, 3);
    grid->addWidget(m_front, 5, 0, 1, 4);
    grid->setRowStretch(6, 1);

    connect(m_title, &QLineEdit::editingFinished, this, [this] {
        CFailure failure;
        if (CPage* page = Page();
            page && !ApplyPageTitle(*page, ToModel(m_title->text()), &failure))
            Refused(failure);
        Applied();
    });
    connect(m_id, &QLineEdit::editingFinished, this, [this] {
        CPage* page = Page();
        if (!page || ToModel(m_id->text()) == page->Identifier()) return;
        CFailure failure;
        ApplyPageIdentifier(*page, ToModel(m_id->text()), m_context.ui, &failure);
        Refused(failure);
        Applied();
    });
    connect(m_width, &QSpinBox::editingFinished, this, [this] {
        if (CPage* page = Page()) ApplyPageWidth(*page, m_width->value());
        Applied();
    });
    connect(m_height, &QSpinBox::editingFinished, this, [this] {
        if (CPage* page = Page()) ApplyPageHeight(*page, m_height->value());
        Applied();
    });
    connect(m_sizes, &QComboBox::activated, this, [this](int index) {
        if (CPage* page = Page()) ApplyPageSizePreset(*page, m_presets, index);
        Applied();
    });
    connect(m_front, &QCheckBox::clicked, this, [this] {
        if (CPage* page = Page(); page && CanSetFrontPage(*page)) ApplyFrontPage(*page);
        Applied();
    });
}

void CPageInfoTab::Refused(const CFailure& failure) {
    if (failure) m_context.ui.Error("Side", failure.Detail());
}

void CPageInfoTab::Refresh() {
    CPage* page = Page();
    if (!EnableAll(page && !page->IsEditingText() && PagePropertiesEnabled(&page->Site(), page)))
        return;
    m_title->setText(FromModel(page->WebName()));
    m_id->setText(FromModel(page->Identifier()));
    m_width->setValue(page->Width());
    m_height->setValue(page->Height());
    m_presets = PageSizePresets(page->Width(), page->Height());
    const QSignalBlocker block(m_sizes);
    m_sizes->clear();
    for (const std::string& entry : m_presets.entries)
        m_sizes->addItem(FromUtf8(entry));
    m_sizes->setCurrentIndex(m_presets.selected);
    m_front->setChecked(page->IsFrontPage());
    // The front page stays one until another page takes its place.
    m_front->setEnabled(CanSetFrontPage(*page));
}

// ---------------------------------------------------------------- background

CBackgroundTab::CBackgroundTab(CInspectorContext& context, QWidget* parent)
    : CInspectorTab(context, parent) {
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    int row = m_w.Build(grid, this, 0);
    m_horizontal = new QCheckBox(QStringLiteral("&Vandret forløb"), this);
    grid->addWidget(m_horizontal, row++, 1, 1, 2);
    grid->setRowStretch(row, 1);

    m_w.Wire(
        this, m_context.editor,
        {[this](const CColor& c) { Change([c](CBackgroundFill& fill) { fill.SetColour(c); }); },
         [this](const std::string& file) {
             Change([file](CBackgroundFill& fill) { fill.SetImagePath(file); });
         },
         [this] {
             GRADIENTCOLORS colours;
             m_w.gradientPicker->CopyCurrentGradient(colours);
             Change([colours](CBackgroundFill& fill) { fill.SetGradientColours(colours); });
         },
         [this] { Refresh(); }});
    connect(m_horizontal, &QCheckBox::clicked, this, [this](bool across) {
        Change([across](CBackgroundFill& fill) { fill.SetHorizontal(across); });
    });
}

void CBackgroundTab::Change(const std::function<void(CBackgroundFill&)>& change) {
    if (CPage* page = Page()) EditPageBackground(*page, change);
    Applied();
}

void CBackgroundTab::Refresh() {
    CPage* page = Page();
    if (!EnableAll(page && !page->IsEditingText())) return;
    const CBackgroundFill& fill = page->Background();
    if (QAbstractButton* kind = m_w.kinds->button(fill.GetType())) kind->setChecked(true);
    m_w.colour->SetColor(fill.GetColour());
    m_w.path->setText(FromModel(fill.GetImagePath()));
    m_w.gradientPicker->ChangeGradient(fill.GetGradient());
    m_horizontal->setChecked(fill.IsHorizontal());
}
