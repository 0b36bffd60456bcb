#include "app/inspector/LinkTab.h"
#include "app/dialogs/DialogKit.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/Site.h"
#include "services/Failure.h"
#include "services/UserInteraction.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

using pw::dialogs::FromModel;
using pw::dialogs::ToModel;

CLinkTab::CLinkTab(CInspectorContext& context, QWidget* parent)
    : CInspectorTab(context, parent), m_use(new QCheckBox(QStringLiteral("&Benyt link"), this)),
      m_kinds(new QButtonGroup(this)), m_page(new QComboBox(this)), m_email(new QLineEdit(this)),
      m_url(new QLineEdit(this)), m_document(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("..."), this)) {
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    grid->addWidget(m_use, 0, 0, 1, 3);
    const char* const captions[4] = {"&Side", "&E-post", "&WWW", "&Dokum."};
    QWidget* fields[4] = {m_page, m_email, m_url, m_document};
    for (int type = 0; type < 4; ++type) {
        auto* radio = new QRadioButton(QString::fromUtf8(captions[type]), this);
        m_kinds->addButton(radio, type);
        grid->addWidget(radio, type + 1, 0);
        grid->addWidget(fields[type], type + 1, 1, 1, type == 3 ? 1 : 2);
    }
    // Each kind's field follows its button when tabbing through the page.
    QWidget* previous = m_use;
    for (int type = 0; type < 4; ++type) {
        setTabOrder(previous, m_kinds->button(type));
        setTabOrder(m_kinds->button(type), fields[type]);
        previous = fields[type];
    }
    setTabOrder(previous, m_browse);
    m_browse->setFixedWidth(m_browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    m_browse->setToolTip(QStringLiteral("Vælg et dokument"));
    grid->addWidget(m_browse, 4, 2);
    grid->setRowStretch(5, 1);

    connect(m_use, &QCheckBox::clicked, this,
            [this](bool on) { Change([on](CObjectLink& l) { l.enabled = on; }); });
    connect(m_kinds, &QButtonGroup::idClicked, this,
            [this](int type) { Change([type](CObjectLink& l) { l.type = type; }); });
    connect(m_page, &QComboBox::activated, this,
            [this](int index) { Change([index](CObjectLink& l) { l.page = index; }); });
    connect(m_email, &QLineEdit::editingFinished, this, [this] {
        const std::string email = ToModel(m_email->text().trimmed());
        Change([email](CObjectLink& l) { l.email = email; });
    });
    connect(m_url, &QLineEdit::editingFinished, this, [this] {
        const std::string url = NormaliseWebAddress(ToModel(m_url->text()));
        Change([url](CObjectLink& l) { l.url = url; });
    });
    connect(m_document, &QLineEdit::editingFinished, this, [this] {
        const std::string file = ToModel(m_document->text().trimmed());
        Change([file](CObjectLink& l) { l.document = file; });
    });
    connect(m_browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Dokument"),
                                                          m_document->text(),
                                                          QStringLiteral("Alle filer (*)"));
        if (file.isEmpty()) return;
        const std::string chosen = ToModel(file);
        Change([chosen](CObjectLink& l) {
            l.document = chosen;
            l.type = CObjectLink::typeDocument;
        });
    });
}

QRadioButton* CLinkTab::Kind(int type) const {
    return qobject_cast<QRadioButton*>(m_kinds->button(type));
}

void CLinkTab::Change(const std::function<void(CObjectLink&)>& change) {
    CFailure refused;
    if (CPage* page = Page()) EditLink(*page, change, &refused);
    // The fields reload from the record first, so the user never sees a
    // refused address as if it were kept, and the focus leaving the field
    // for the message finds nothing more to apply.
    Applied();
    if (refused) m_context.ui.Error("Link", refused.Detail());
}

void CLinkTab::Refresh() {
    CPage* page = Page();
    if (!EnableAll(page && CanInspect(*page, EInspectorNeed::Link))) return;
    const CObjectLink link = InspectedLink(*page);
    m_use->setChecked(link.enabled);
    {
        const QSignalBlocker block(m_page);
        m_page->clear();
        for (const auto& p : page->Site().Pages()) m_page->addItem(FromModel(p->Identifier()));
        m_page->setCurrentIndex(link.page);
    }
    if (QAbstractButton* kind = m_kinds->button(link.type)) kind->setChecked(true);
    // A switched-off link shows example addresses to type over.
    const CObjectLink example;
    m_email->setText(FromModel(link.enabled ? link.email : example.email));
    m_url->setText(FromModel(link.enabled ? link.url : example.url));
    m_document->setText(FromModel(link.document));
    for (QAbstractButton* kind : m_kinds->buttons()) kind->setEnabled(link.enabled);
    for (QWidget* field : {static_cast<QWidget*>(m_page), static_cast<QWidget*>(m_email),
                           static_cast<QWidget*>(m_url), static_cast<QWidget*>(m_document),
                           static_cast<QWidget*>(m_browse)})
        field->setEnabled(link.enabled);
}
