#pragma once
#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

class CImage;
class CPage;
class CTextObject;
class QMimeData;

// The designer's clipboard formats and the system clipboard. Our own data
// travels as MIME types of our own holding the byte layouts of
// pw::clipboard (objects, background) and of the text runs; beside them the
// standard formats reach other programs: a picture of a single copied item
// (PNG and BMP) and plain text (UTF-8).
namespace pw::editor_clipboard {

inline const QString kObjectsType = QStringLiteral("application/x-pagewright-objects");
inline const QString kTextType = QStringLiteral("application/x-pagewright-text");
inline const QString kBackgroundType = QStringLiteral("application/x-pagewright-background");
inline const QString kPlainUtf8Type = QStringLiteral("text/plain;charset=utf-8");

// Whether page links in pasted data may come from another site: set at
// start and whenever a site is made or opened, cleared when this program
// puts objects or text on the clipboard.
bool& ForeignData();

// The selection of the page (null when nothing is selected); with a single
// item also its picture over white.
std::unique_ptr<QMimeData> ObjectsData(CPage& page);
// The selected text of the edited text (null when nothing is selected).
std::unique_ptr<QMimeData> TextData(const CTextObject& text);
std::unique_ptr<QMimeData> BackgroundData(const CPage& page);

std::vector<uint8_t> Bytes(const QMimeData* data, const QString& type);
bool HasObjects(const QMimeData* data);
bool HasText(const QMimeData* data);        // ours or plain text
bool HasPicture(const QMimeData* data);     // any picture another program offers
bool HasBackground(const QMimeData* data);
// The picture on offer, read through our own loaders where they know the
// format, else through Qt's; null when there is none that reads.
std::unique_ptr<CImage> Picture(const QMimeData* data);
// Plain text on offer, in the model's code page; `lossless` tells whether
// every character fitted.
std::string PlainText(const QMimeData* data, bool* lossless = nullptr);
// Local files of a drop (text/uri-list).
std::vector<std::filesystem::path> DroppedFiles(const QMimeData* data);

// A selection dragged out of a page window: the objects as on the clipboard
// and which page of which open site they come from, so that only another
// page window of the same site takes the drop.
inline const QString kDragSourceType = QStringLiteral("application/x-pagewright-drag-source");
std::unique_ptr<QMimeData> DragData(CPage& page);
// The data is a selection dragged from another page of the site this page
// belongs to (in this process).
bool IsDragFromSiblingPage(const QMimeData* data, const CPage& page);

// Puts the data on the system clipboard (the clipboard owns it then).
void Put(std::unique_ptr<QMimeData> data);
const QMimeData* Current();

} // namespace pw::editor_clipboard
