// The Qt dialogs the page view opens: the picture chooser with a preview, the
// large-picture question, load errors and the plain HTML editor.
#include "editor/EditorDialogs.h"
#include "model/HtmlObject.h"
#include "services/IOError.h"
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {
namespace {
constexpr int kPreviewSide = 160;
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
