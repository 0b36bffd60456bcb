#include "app/dialogs/SnippetDialog.h"
#include "app/dialogs/DialogKit.h"
#include "services/Cp1252.h"
#include "services/UserInteraction.h"
#include "sitebuild/SnippetLibrary.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

using namespace pw::dialogs;

namespace {

// The preview pictures are drawn at this size; larger ones are scaled down.
const QSize kPreviewSize(160, 120);

// The dialog's own mnemonics; the captions of the values get the first
// letter none of these (nor an earlier caption) uses.
const QString kFixedMnemonics = QStringLiteral("khon");

QString WithMnemonic(const QString& caption, QSet<QChar>& used) {
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i).toLower();
        if (!c.isLetterOrNumber() || used.contains(c)) continue;
        if (i > 0 && text.at(i - 1) == QLatin1Char('&')) continue;
        used.insert(c);
        return text.left(i) + QLatin1Char('&') + text.mid(i);
    }
    return text;
}

QColor FromColourRef(ColorRef ref) {
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

ColorRef ToColourRef(const CColor& colour) { return colour.GetCOLORREF(); }

} // namespace

CSnippetDialog::CSnippetDialog(const CSnippetLibrary& library, CUserInteraction& ui, QWidget* parent)
    : QDialog(parent), m_library(library), m_ui(ui) {
    setObjectName(QStringLiteral("SnippetDialog"));
    setWindowTitle(QStringLiteral("Html kode fra biblioteket"));
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns, 1);

    // Left: category and snippet lists.
    auto* lists = new QVBoxLayout;
    auto* categoryLabel = new QLabel(QStringLiteral("&Kategori:"), this);
    m_categories = new QListWidget(this);
    m_categories->setObjectName(QStringLiteral("SnippetCategories"));
    categoryLabel->setBuddy(m_categories);
    auto* snippetLabel = new QLabel(QStringLiteral("&Html kode:"), this);
    m_snippets = new QListWidget(this);
    m_snippets->setObjectName(QStringLiteral("SnippetNames"));
    snippetLabel->setBuddy(m_snippets);
    const int listWidth = fontMetrics().averageCharWidth() * 28;
    for (QListWidget* list : {m_categories, m_snippets}) list->setFixedWidth(listWidth);
    m_categories->setMaximumHeight(fontMetrics().height() * 8);
    lists->addWidget(categoryLabel);
    lists->addWidget(m_categories);
    lists->addWidget(snippetLabel);
    lists->addWidget(m_snippets, 1);
    columns->addLayout(lists);

    // Right: what the chosen snippet is and the values it asks for.
    auto* details = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("SnippetPreview"));
    m_preview->setFixedSize(kPreviewSize + QSize(4, 4));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    top->addWidget(m_preview, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    m_name = new QLabel(this);
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_description1 = new QLabel(this);
    m_description2 = new QLabel(this);
    const int textWidth = fontMetrics().averageCharWidth() * 46;
    for (QLabel* label : {m_name, m_description1, m_description2}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFixedWidth(textWidth);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        texts->addWidget(label);
    }
    texts->addStretch(1);
    top->addLayout(texts);
    details->addLayout(top);
    m_valuesBox = new QGroupBox(QStringLiteral("Indstillinger"), this);
    m_values = new QFormLayout(m_valuesBox);
    m_values->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    details->addWidget(m_valuesBox);
    details->addStretch(1);
    columns->addLayout(details, 1);

    layout->addWidget(OkCancelButtons(this));

    for (const std::string& category : m_library.Categories())
        m_categories->addItem(FromModel(category));
    connect(m_categories, &QListWidget::currentRowChanged, this, &CSnippetDialog::ShowCategory);
    connect(m_snippets, &QListWidget::currentRowChanged, this, &CSnippetDialog::ShowSnippet);
    connect(m_snippets, &QListWidget::itemActivated, this, [this] { accept(); });
    if (m_categories->count() > 0) m_categories->setCurrentRow(0);
    setMinimumHeight(480);
}

void CSnippetDialog::ShowCategory(int row) {
    m_snippets->clear();
    if (row < 0) return;
    const std::string category = ToModel(m_categories->item(row)->text());
    for (std::size_t index : m_library.InCategory(category)) {
        auto* item = new QListWidgetItem(FromModel(m_library.Snippets()[index].name), m_snippets);
        item->setData(Qt::UserRole, qulonglong(index));
    }
    if (m_snippets->count() > 0) m_snippets->setCurrentRow(0);
}

void CSnippetDialog::ShowSnippet(int row) {
    // The old controls go before the snippet they write into is replaced.
    while (m_values->rowCount() > 0) m_values->removeRow(0);
    m_controls.clear();
    if (row < 0) {
        m_snippet = CSnippet();
        m_name->clear();
        m_description1->clear();
        m_description2->clear();
        m_preview->clear();
        m_valuesBox->hide();
        return;
    }
    const auto index = std::size_t(m_snippets->item(row)->data(Qt::UserRole).toULongLong());
    m_snippet = m_library.Snippets()[index];
    m_snippet.ResetValues();
    m_name->setText(FromModel(m_snippet.name));
    m_description1->setText(FromModel(m_snippet.description1));
    m_description2->setText(FromModel(m_snippet.description2));
    m_description2->setVisible(!m_snippet.description2.empty());

    m_preview->clear();
    const QPixmap picture(FromUtf8(m_snippet.PreviewPath().string()));
    if (!picture.isNull()) {
        const qreal ratio = devicePixelRatioF();
        QPixmap shown = picture.size().boundedTo(kPreviewSize * ratio) == picture.size()
                            ? picture
                            : picture.scaled(kPreviewSize * ratio, Qt::KeepAspectRatio,
                                             Qt::SmoothTransformation);
        shown.setDevicePixelRatio(ratio);
        m_preview->setPixmap(shown);
    } else {
        m_preview->setText(QStringLiteral("Intet billede"));
    }

    QSet<QChar> used;
    for (QChar c : kFixedMnemonics) used.insert(c);
    QWidget* previous = m_snippets;
    for (std::size_t i = 0; i < m_snippet.parameters.size(); ++i) {
        CSnippetParameter& parameter = m_snippet.parameters[i];
        QWidget* control = MakeControl(parameter);
        auto* label = new QLabel(WithMnemonic(FromModel(parameter.caption), used), m_valuesBox);
        QWidget* focus = control->focusProxy() ? control->focusProxy() : control;
        label->setBuddy(focus);
        m_values->addRow(label, control);
        m_controls.push_back(focus);
        setTabOrder(previous, focus);
        previous = focus;
        for (QPushButton* button : control->findChildren<QPushButton*>()) {
            setTabOrder(previous, button);
            previous = button;
        }
    }
    m_valuesBox->setVisible(!m_snippet.parameters.empty());
    if (auto* box = findChild<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons()) {
            setTabOrder(previous, button);
            previous = button;
        }
}

QWidget* CSnippetDialog::MakeControl(CSnippetParameter& parameter) {
    // Controls write through the parameter's index: the vector does not move
    // while they live (ShowSnippet removes them before it changes).
    const std::size_t index = std::size_t(&parameter - m_snippet.parameters.data());
    auto value = [this, index]() -> CSnippetParameter& { return m_snippet.parameters[index]; };
    switch (parameter.type) {
    case SnippetTextArea: {
        auto* edit = new QPlainTextEdit(FromModel(parameter.value), m_valuesBox);
        edit->setTabChangesFocus(true);
        edit->setFixedHeight(fontMetrics().height() * 4 + 12);
        connect(edit, &QPlainTextEdit::textChanged, this,
                [edit, value] { value().value = ToModel(edit->toPlainText()); });
        return edit;
    }
    case SnippetBrowse: {
        auto* row = new QWidget(m_valuesBox);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        auto* edit = new QLineEdit(FromModel(parameter.value), row);
        auto* pick = new QPushButton(QStringLiteral("..."), row);
        pick->setAccessibleName(FromModel(parameter.caption) + QStringLiteral(" vælg"));
        pick->setFixedWidth(pick->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
        line->addWidget(edit, 1);
        line->addWidget(pick);
        row->setFocusProxy(edit);
        connect(edit, &QLineEdit::textChanged, this,
                [value](const QString& text) { value().value = ToModel(text); });
        connect(pick, &QPushButton::clicked, this, [this, edit, value] {
            CFileRequest request;
            request.title = cp1252::ToUtf8(value().caption);
            request.filters = {"Alle filer (*)"};
            request.start = ToUtf8(edit->text());
            const std::filesystem::path chosen = m_ui.ChooseFile(request);
            if (!chosen.empty()) edit->setText(FromUtf8(chosen.string()));
        });
        return row;
    }
    case SnippetDropDown: {
        auto* combo = new QComboBox(m_valuesBox);
        for (const CSnippetChoice& choice : parameter.choices)
            combo->addItem(FromModel(choice.shown), FromModel(choice.value));
        // A default that is none of the entries gives way to the entry shown,
        // so what the page gets is what the dialog showed.
        const int at = combo->findData(FromModel(parameter.value));
        combo->setCurrentIndex(std::max(at, 0));
        if (at < 0 && combo->count() > 0) parameter.value = parameter.choices.front().value;
        connect(combo, &QComboBox::currentIndexChanged, this, [combo, value](int i) {
            if (i >= 0) value().value = ToModel(combo->itemData(i).toString());
        });
        return combo;
    }
    case SnippetColor: {
        auto* swatch = new CColourSwatch(ToCColor(FromColourRef(parameter.colour)), m_valuesBox);
        connect(swatch, &CColourSwatch::colourChanged, this,
                [swatch, value] { value().colour = ToColourRef(swatch->Colour()); });
        return swatch;
    }
    case SnippetTextLine:
    default: {
        auto* edit = new QLineEdit(FromModel(parameter.value), m_valuesBox);
        edit->setMinimumWidth(fontMetrics().averageCharWidth() * 30);
        connect(edit, &QLineEdit::textChanged, this,
                [value](const QString& text) { value().value = ToModel(text); });
        return edit;
    }
    }
}
