// The picture and HTML tools: what happens when their band is let go.
#include "editor/EditorDialogs.h"
#include "editor/EditorGeometry.h"
#include "editor/PlumeView.h"
#include "model/HtmlObject.h"
#include "model/ObjectFill.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "services/CurrentSettings.h"
#include "services/GifIO.h"
#include "services/IO.h"
#include "services/Settings.h"
#include <QMetaMethod>
#include <algorithm>
#include <filesystem>

namespace {
constexpr int kSmallBand = 6; // a band below this either way means "own size"
constexpr int kMinHtmlSide = 15;
} // namespace

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
    if (band.width() >= kSmallBand && band.height() >= kSmallBand) size = band.size();
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
    const int w = std::max(kMinHtmlSide, band.width());
    const int h = std::max(kMinHtmlSide, band.height());
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
