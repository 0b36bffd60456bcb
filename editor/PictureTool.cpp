// The picture and HTML tools: what happens when their band is let go, and
// the dialogs they open.
#include "editor/EditorDialogs.h"
#include "editor/EditorGeometry.h"
#include "editor/PlumeView.h"
#include "model/HtmlObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "render/ObjectFill.h"
#include "services/CurrentSettings.h"
#include "services/GifIO.h"
#include "services/IO.h"
#include "services/Settings.h"
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace pw {
namespace {
constexpr int kPreviewSide = 160;
constexpr int kSmallBand = 6;  // a band below this either way means "own size"
constexpr int kMinHtmlSide = 15;
} // namespace

CEditorDialogs& EditorDialogs() {
    static CEditorDialogs dialogs{ChoosePictureDialog, LargePictureDialog, PictureErrorDialog,
                                  EditHtmlDialog};
    return dialogs;
}

QString ChoosePictureDialog(QWidget* parent, const QString& folder) {
    // The platform dialog has no room for a preview; Qt's own has.
    QFileDialog dialog(parent, QStringLiteral("Indsæt billede"), folder,
                       QStringLiteral("Billeder (*.jpg *.jpeg *.png *.gif *.bmp);;Alle filer (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* preview = new QLabel(&dialog);
    preview->setFixedSize(kPreviewSide, kPreviewSide);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    auto* size = new QLabel(&dialog);
    size->setAlignment(Qt::AlignCenter);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* column = new QVBoxLayout;
        column->addWidget(preview);
        column->addWidget(size);
        column->addStretch();
        grid->addLayout(column, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    }
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview, size](const QString& path) {
        QImageReader reader(path);
        const QSize full = reader.size();
        if (!full.isValid()) {
            preview->clear();
            size->clear();
            return;
        }
        reader.setScaledSize(full.scaled(QSize(kPreviewSide, kPreviewSide), Qt::KeepAspectRatio)
                                 .boundedTo(full));
        preview->setPixmap(QPixmap::fromImage(reader.read()));
        size->setText(QStringLiteral("%1 × %2").arg(full.width()).arg(full.height()));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

ELargePicture LargePictureDialog(QWidget* parent, QSize picture, QSize page) {
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("Billedet er større end siden"));
    box.setText(QStringLiteral("Billedet (%1 × %2) er større end siden (%3 × %4).")
                    .arg(picture.width())
                    .arg(picture.height())
                    .arg(page.width())
                    .arg(page.height()));
    box.setInformativeText(QStringLiteral(
        "Skal billedet gøres mindre, så det passer på siden, eller skal det beskæres til siden?"));
    QPushButton* fit = box.addButton(QStringLiteral("Tilpas"), QMessageBox::AcceptRole);
    QPushButton* clip = box.addButton(QStringLiteral("Beskær"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(fit);
    box.exec();
    if (box.clickedButton() == fit) return ELargePicture::Fit;
    if (box.clickedButton() == clip) return ELargePicture::Clip;
    return ELargePicture::Cancel;
}

void PictureErrorDialog(QWidget* parent, const QString& file, int ioError) {
    QString why;
    switch (ioError) {
    case IOERR_NOT_FOUND: why = QStringLiteral("Filen findes ikke eller kan ikke læses."); break;
    case IOERR_NO_MEMORY: why = QStringLiteral("Billedet er for stort."); break;
    default: why = QStringLiteral("Filen er ikke et billede, som kan læses."); break;
    }
    QMessageBox::warning(parent, QStringLiteral("Billedet kunne ikke indlæses"),
                         QStringLiteral("%1\n\n%2").arg(file, why));
}

void EditHtmlDialog(QWidget* parent, CHtmlObject& html) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("HTML-kode"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    auto* onload = new QLineEdit(QString::fromStdString(html.GetOnloadCode()));
    auto* header = new QPlainTextEdit(QString::fromStdString(html.GetHeaderCode()));
    auto* body = new QPlainTextEdit(QString::fromStdString(html.GetBodyCode()));
    header->setFixedHeight(80);
    body->setMinimumSize(420, 200);
    form->addRow(QStringLiteral("Onload:"), onload);
    form->addRow(QStringLiteral("Hoved:"), header);
    form->addRow(QStringLiteral("Krop:"), body);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return;
    html.SetCode(onload->text().toStdString(), header->toPlainText().toStdString(),
                 body->toPlainText().toStdString());
}

} // namespace pw

void CPlumeView::FinishPicture() {
    const QRect band = BandRect();
    pw::CEditorDialogs& dialogs = pw::EditorDialogs();
    QString folder = QString::fromStdString(CurrentSettings().GetImagePath());
    std::unique_ptr<CImage> image;
    QString file;
    // Ask until a picture loads or the user gives up.
    for (;;) {
        file = dialogs.choosePicture(this, folder);
        if (file.isEmpty()) return;
        int format = 0, error = 0;
        image = CIO::LoadImageA(std::filesystem::path(file.toStdString()), format, error);
        if (image) break;
        dialogs.pictureError(this, file, error);
        folder = file;
    }
    const std::filesystem::path path(file.toStdString());
    MutableCurrentSettings().SetImagePath(path.parent_path().string());

    const QSize page(m_page->Width(), m_page->Height());
    QSize size(image->Width(), image->Height());
    QPoint topLeft = band.topLeft();
    if (band.width() >= pw::kSmallBand && band.height() >= pw::kSmallBand) size = band.size();
    QPointF centre(topLeft.x() + size.width() / 2.0, topLeft.y() + size.height() / 2.0);
    if (size.width() > page.width() || size.height() > page.height()) {
        switch (dialogs.largePicture(this, size, page)) {
        case pw::ELargePicture::Cancel: return;
        case pw::ELargePicture::Fit:
            size = size.scaled(page, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
            centre = QPointF(page.width() / 2.0, page.height() / 2.0);
            break;
        case pw::ELargePicture::Clip:
            if (size.width() > page.width()) {
                size.setWidth(page.width());
                centre.setX(page.width() / 2.0);
            }
            if (size.height() > page.height()) {
                size.setHeight(page.height());
                centre.setY(page.height() / 2.0);
            }
            break;
        }
    }
    auto rect = std::make_unique<CRectObject>(DPOINT{centre.x(), centre.y()},
                                              CObjectSize{size.width(), size.height()});
    auto fill = std::make_unique<CObjectFill>();
    fill->SetImage(path.string(), std::move(image));
    fill->SetPicture(true);
    // Only a file called .gif is checked: other names are never written as GIF.
    if (file.contains(QStringLiteral(".gif"), Qt::CaseInsensitive) && CGifIO::IsAnimated(path))
        fill->SetAnimatedGif(true);
    rect->SetFill(std::move(fill));
    CPageItem& item = m_page->InsertItem(std::move(rect));
    m_page->SelectOnly(item);
    m_page->RecordUndo(EUndoKind::Insert);
    item.Current().PrepareAndRender(m_page->TileBuffer());
    m_changed = true;
    RepaintPage(item.GetRect());
    emit inspectorNotify(pw::kNotifySelection);
}

void CPlumeView::FinishHtml() {
    const QRect band = BandRect();
    const int w = std::max(pw::kMinHtmlSide, band.width());
    const int h = std::max(pw::kMinHtmlSide, band.height());
    auto html = std::make_unique<CHtmlObject>(DPOINT{1.0 * band.left(), 1.0 * band.top()}, w, h);
    CPageItem& item = m_page->InsertItem(std::move(html));
    m_page->SelectOnly(item);
    m_page->RecordUndo(EUndoKind::Insert);
    item.Current().PrepareAndRender(m_page->TileBuffer());
    m_changed = true;
    RepaintPage(item.GetRect());
    OpenHtmlEditor();
}

void CPlumeView::OpenHtmlEditor() {
    CPageItem* item = m_page->SingleSelectedItem();
    auto* html = item ? dynamic_cast<CHtmlObject*>(&item->Current()) : nullptr;
    if (!html) return;
    // The inspector's HTML page when one listens, else a plain dialog.
    if (isSignalConnected(QMetaMethod::fromSignal(&CPlumeView::htmlEditorRequested))) {
        emit htmlEditorRequested();
        return;
    }
    pw::EditorDialogs().editHtml(this, *html);
    m_page->MarkModified();
    RepaintPage(item->GetRect());
}
