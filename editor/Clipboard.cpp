#include "editor/Clipboard.h"
#include "image/Image.h"
#include "model/ObjectClipboard.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextObject.h"
#include "services/BmpIO.h"
#include "services/Cp1252.h"
#include "services/IO.h"
#include "services/MemFile.h"
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QCoreApplication>
#include <QMimeData>
#include <QUrl>

namespace pw::editor_clipboard {
namespace {
QByteArray ToQt(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Our RGB picture as PNG bytes and as a BMP file.
void AddPicture(QMimeData& mime, const CImage& picture) {
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB888);
    for (int y = 0; y < picture.Height(); ++y)
        memcpy(image.scanLine(y), picture.Bits() + y * picture.RowBytes(),
               static_cast<std::size_t>(picture.Width()) * 3);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.save(&buffer, "PNG")) mime.setData(QStringLiteral("image/png"), png);
    CMemFile bmp;
    int error = 0;
    if (CBmpIO::Save(bmp, picture, true, error)) mime.setData(QStringLiteral("image/bmp"), ToQt(bmp.Data()));
}

std::unique_ptr<CImage> FromQImage(const QImage& source) {
    if (source.isNull()) return nullptr;
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    auto picture = std::make_unique<CImage>(IMAGE_RGB8, rgb.width(), rgb.height(), 96.0);
    if (!picture->Bits()) return nullptr;
    for (int y = 0; y < rgb.height(); ++y)
        memcpy(picture->Bits() + y * picture->RowBytes(), rgb.constScanLine(y),
               static_cast<std::size_t>(rgb.width()) * 3);
    return picture;
}
} // namespace

bool& ForeignData() {
    static bool foreign = true;
    return foreign;
}

std::unique_ptr<QMimeData> ObjectsData(CPage& page) {
    const std::vector<uint8_t> bytes = pw::clipboard::CopyObjects(page);
    if (bytes.empty()) return nullptr;
    auto mime = std::make_unique<QMimeData>();
    mime->setData(kObjectsType, ToQt(bytes));
    if (page.SelectedItemCount() == 1)
        if (CPageItem* item = page.SingleSelectedItem())
            if (auto picture = pw::clipboard::PictureOverWhite(*item, page)) AddPicture(*mime, *picture);
    return mime;
}

namespace {
QByteArray SourceToken(const CPage& page, bool withPage) {
    QByteArray token = QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
                       QByteArray::number(reinterpret_cast<quintptr>(&page.Site()));
    if (withPage) token += ' ' + QByteArray::number(reinterpret_cast<quintptr>(&page));
    return token;
}
} // namespace

std::unique_ptr<QMimeData> DragData(CPage& page) {
    std::unique_ptr<QMimeData> mime = ObjectsData(page);
    if (mime) mime->setData(kDragSourceType, SourceToken(page, true));
    return mime;
}

bool IsDragFromSiblingPage(const QMimeData* data, const CPage& page) {
    if (!data || !data->hasFormat(kObjectsType) || !data->hasFormat(kDragSourceType)) return false;
    const QByteArray source = data->data(kDragSourceType);
    const QByteArray site = SourceToken(page, false);
    return source.startsWith(site + ' ') && source != SourceToken(page, true);
}

std::unique_ptr<QMimeData> TextData(const CTextObject& text) {
    const std::vector<uint8_t> runs = text.CopyRuns();
    if (runs.empty()) return nullptr;
    auto mime = std::make_unique<QMimeData>();
    mime->setData(kTextType, ToQt(runs));
    // Paragraphs end in CR in the model; other programs expect line feeds.
    const std::string plain = text.CopyPlainText();
    std::string lines;
    for (char c : plain)
        if (c == '\r')
            lines += '\n';
        else if (c != '\0')
            lines += c;
    const QString utf8 = QString::fromStdString(cp1252::ToUtf8(lines));
    mime->setText(utf8);
    // Named with its character set too: some programs ask for exactly this
    // type and would otherwise have to guess the encoding of "text/plain".
    mime->setData(kPlainUtf8Type, utf8.toUtf8());
    return mime;
}

std::unique_ptr<QMimeData> BackgroundData(const CPage& page) {
    auto mime = std::make_unique<QMimeData>();
    mime->setData(kBackgroundType, ToQt(pw::clipboard::CopyBackground(page)));
    return mime;
}

std::vector<uint8_t> Bytes(const QMimeData* data, const QString& type) {
    if (!data || !data->hasFormat(type)) return {};
    const QByteArray bytes = data->data(type);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

bool HasObjects(const QMimeData* data) { return data && data->hasFormat(kObjectsType); }
bool HasText(const QMimeData* data) { return data && (data->hasFormat(kTextType) || data->hasText()); }
bool HasBackground(const QMimeData* data) { return data && data->hasFormat(kBackgroundType); }
bool HasPicture(const QMimeData* data) {
    if (!data) return false;
    if (data->hasImage()) return true;
    for (const QString& format : data->formats())
        if (format.startsWith(QStringLiteral("image/"))) return true;
    return false;
}

std::unique_ptr<CImage> Picture(const QMimeData* data) {
    if (!data) return nullptr;
    for (const char* type : {"image/png", "image/jpeg", "image/bmp", "image/gif"}) {
        const QString name = QString::fromLatin1(type);
        if (!data->hasFormat(name)) continue;
        const QByteArray bytes = data->data(name);
        int format = 0, error = 0;
        auto picture = CIO::LoadImageFromMemory(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                static_cast<std::size_t>(bytes.size()), format, error);
        if (picture && picture->Bits()) return picture;
    }
    // Whatever else Qt can read (other picture types, an image object).
    if (data->hasImage()) return FromQImage(qvariant_cast<QImage>(data->imageData()));
    for (const QString& format : data->formats()) {
        if (!format.startsWith(QStringLiteral("image/"))) continue;
        QImage image;
        if (image.loadFromData(data->data(format))) return FromQImage(image);
    }
    return nullptr;
}

std::string PlainText(const QMimeData* data, bool* lossless) {
    if (!data || !data->hasText()) return {};
    QString text = data->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return cp1252::FromUtf8(text.toStdString(), lossless);
}

std::vector<std::filesystem::path> DroppedFiles(const QMimeData* data) {
    std::vector<std::filesystem::path> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files.emplace_back(url.toLocalFile().toStdString());
    return files;
}

void Put(std::unique_ptr<QMimeData> data) {
    if (!data) return;
    if (data->hasFormat(kObjectsType) || data->hasFormat(kTextType)) ForeignData() = false;
    QApplication::clipboard()->setMimeData(data.release());
}

const QMimeData* Current() { return QApplication::clipboard()->mimeData(); }

} // namespace pw::editor_clipboard
