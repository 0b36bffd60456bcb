#include "app/QtInteraction.h"
#include "app/QtImages.h"
#include "app/dialogs/ChoiceDialog.h"
#include "app/dialogs/StatusWindow.h"
#include "image/Image.h"
#include "model/SiteFile.h"
#include "services/Cp1252.h"
#include "services/StringTable.h"
#include <QFileInfo>
#include <QGridLayout>
#include <QVBoxLayout>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

namespace {

QString U(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QMessageBox::Icon ToQtIcon(CMessage::Icon icon) {
    switch (icon) {
    case CMessage::Icon::Information:
        return QMessageBox::Information;
    case CMessage::Icon::Warning:
        return QMessageBox::Warning;
    case CMessage::Icon::Error:
        return QMessageBox::Critical;
    case CMessage::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The buttons, the one Enter presses and the one Escape (or closing the box) means.
struct CButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton enter;
    QMessageBox::StandardButton escape;
};

CButtonSet ToQtButtons(CMessage::Buttons buttons) {
    switch (buttons) {
    case CMessage::Buttons::Ok:
        return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
    case CMessage::Buttons::OkCancel:
        return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case CMessage::Buttons::YesNo:
        return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No};
    case CMessage::Buttons::YesNoCancel:
        return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                QMessageBox::Cancel};
    }
    return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
}

// Message boxes size themselves to their text; a short text (a server name,
// a path) would give a box hardly wider than its buttons.
void KeepRoomy(QMessageBox& box) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(380, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

EAnswer FromQt(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return EAnswer::Ok;
    case QMessageBox::Yes:
        return EAnswer::Yes;
    case QMessageBox::No:
        return EAnswer::No;
    default:
        return EAnswer::Cancel;
    }
}

} // namespace

QString ToQString(const std::filesystem::path& path) {
    return U(path.string());
}

std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(Utf8(text));
}

CQtInteraction::CQtInteraction(QWidget* parent) : m_parent(parent) {}

CQtInteraction::~CQtInteraction() {
    // Never leave the application with a wait cursor it cannot get rid of.
    while (m_waitCount > 0)
        EndWait();
}

EAnswer CQtInteraction::Message(const CMessage& msg) {
    CButtonSet set = ToQtButtons(msg.buttons);
    QMessageBox box(ToQtIcon(msg.icon), U(msg.caption), U(msg.text), set.buttons, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(set.enter);
    box.setEscapeButton(set.escape);
    KeepRoomy(box);
    return FromQt(box.exec());
}

CChoiceResult CQtInteraction::Choose(const CChoice& choice) {
    if (!choice.colourLabel.empty()) {
        CChoiceDialog dialog(choice, m_parent);
        dialog.exec();
        return dialog.Result();
    }
    QMessageBox box(QMessageBox::Question, U(choice.caption), U(choice.text), QMessageBox::NoButton,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    std::vector<QPushButton*> buttons;
    for (const std::string& label : choice.buttons)
        buttons.push_back(box.addButton(U(label), QMessageBox::ActionRole));
    if (!buttons.empty()) box.setDefaultButton(buttons.front());
    QCheckBox* check = nullptr;
    if (!choice.checkBox.empty()) {
        check = new QCheckBox(U(choice.checkBox));
        check->setChecked(choice.checkBoxInitial);
        box.setCheckBox(check); // the box owns it
    }
    KeepRoomy(box);
    box.exec();
    CChoiceResult result;
    auto it = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    result.button = it == buttons.end() ? -1 : int(it - buttons.begin());
    result.checked = check ? check->isChecked() : choice.checkBoxInitial;
    return result;
}

namespace {

// The panel beside the open dialog's file list: the stored picture of the
// front page of the file under the cursor and its name.
void AddSitePreview(QFileDialog& dialog) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid) return;
    auto* panel = new QWidget(&dialog);
    panel->setObjectName(QStringLiteral("SitePreviewPanel"));
    auto* column = new QVBoxLayout(panel);
    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("SitePreview"));
    picture->setFixedSize(200, 160);
    picture->setAlignment(Qt::AlignCenter);
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* name = new QLabel(panel);
    name->setObjectName(QStringLiteral("SitePreviewName"));
    name->setTextFormat(Qt::PlainText);
    name->setWordWrap(true);
    name->setFixedWidth(200);
    column->addWidget(picture);
    column->addWidget(name);
    column->addStretch(1);
    grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, panel, [picture, name](const QString& file) {
        picture->clear();
        name->clear();
        const std::filesystem::path path = ToPath(file);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) return;
        std::string category, title;
        if (ReadSiteInfo(path, category, title) && !title.empty())
            name->setText(QString::fromStdString(cp1252::ToUtf8(title)));
        else
            name->setText(QFileInfo(file).completeBaseName());
        if (const std::unique_ptr<CImage> image = ReadSitePreview(path)) {
            const QImage shown = pw::ToQImage(*image);
            if (!shown.isNull())
                picture->setPixmap(QPixmap::fromImage(shown.scaled(
                    picture->size() - QSize(6, 6), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        }
    });
}

bool IsSiteRequest(const CFileRequest& request) {
    for (const std::string& f : request.filters)
        if (f.find("*.pwu") != std::string::npos || f.find("*.pws") != std::string::npos)
            return true;
    return false;
}

} // namespace

std::filesystem::path CQtInteraction::ChooseFile(const CFileRequest& request) {
    QFileDialog dialog(m_parent, U(request.title));
    // Qt's own dialog on every desktop: the same dialog for everybody, room
    // for the preview panel, and scripted sessions can drive it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    bool save = request.mode == CFileRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const std::string& f : request.filters)
        filters << U(f);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.defaultSuffix.empty()) dialog.setDefaultSuffix(U(request.defaultSuffix));
    if (!save && IsSiteRequest(request)) AddSitePreview(dialog);
    if (!request.start.empty()) {
        std::error_code ec;
        if (std::filesystem::is_directory(request.start, ec)) {
            dialog.setDirectory(ToQString(request.start));
        } else {
            dialog.setDirectory(ToQString(request.start.parent_path()));
            dialog.selectFile(ToQString(request.start.filename()));
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return ToPath(dialog.selectedFiles().front());
}

std::filesystem::path CQtInteraction::ChooseFolder(const std::string& title,
                                                   const std::filesystem::path& start) {
    QString folder = QFileDialog::getExistingDirectory(m_parent, U(title), ToQString(start));
    return folder.isEmpty() ? std::filesystem::path() : ToPath(folder);
}

bool CQtInteraction::AskText(const std::string& caption, const std::string& label,
                             std::string& text) {
    // Built by hand rather than with getText, whose buttons speak English.
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(U(caption));
    dialog.setLabelText(U(label));
    dialog.setTextValue(U(text));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuller"));
    if (dialog.exec() != QDialog::Accepted) return false;
    text = Utf8(dialog.textValue());
    return true;
}

std::unique_ptr<CProgress> CQtInteraction::OpenProgress(int id, const std::string& caption) {
    return pw::dialogs::OpenStatusWindow(m_parent, id, U(caption));
}

QUrl CQtInteraction::BrowserUrl(const std::filesystem::path& file) {
    QString text = ToQString(file);
    for (const char* scheme : {"http://", "https://", "ftp://", "mailto:", "file://"})
        if (text.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return QUrl(text, QUrl::TolerantMode);
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    return QUrl::fromLocalFile(ToQString(ec ? file : absolute));
}

bool CQtInteraction::OpenInBrowser(const std::filesystem::path& file) {
    if (browserHook && browserHook(file)) return true;
    return QDesktopServices::openUrl(BrowserUrl(file));
}

void CQtInteraction::BeginWait() {
    if (m_waitCount++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CQtInteraction::EndWait() {
    if (m_waitCount == 0) return;
    if (--m_waitCount == 0) QApplication::restoreOverrideCursor();
}
