#include "editor/ClipboardCommands.h"
#include "editor/Clipboard.h"
#include "editor/PlumeView.h"
#include "image/Image.h"
#include "model/ObjectClipboard.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "services/Cp1252.h"
#include "services/FileFormatException.h"
#include <cmath>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>

namespace pw::editor_clipboard {
namespace {
// The inspector refreshes itself on this code after an edit of the page.
constexpr int kNotifyChanged = 10018;

CTextObject* EditedText(const CPlumeView& view) {
    return static_cast<CTextObject*>(view.Page().EditedText());
}

void TextChanged(CPlumeView& view, CTextObject& text, const CRect& before) {
    text.LayoutText();
    // The page shows the edited text through its rendered picture: without
    // a new one the pasted characters stay invisible until the edit ends.
    text.PrepareAndRender(view.Page().TileBuffer());
    view.Page().MarkModified();
    view.Page().Repaint(UnionRect(before, text.GetRect()));
    emit view.inspectorNotify(kNotifyChanged);
}

// Plain text goes in character by character: what the site's code page
// cannot hold is left out (with a beep) rather than turned into "?".
void InsertPlain(CTextObject& text, const QString& plain) {
    bool refused = false;
    const QString lines = QString(plain).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const uint c : lines.toUcs4()) {
        if (c == '\n' || c == '\r') {
            text.Editing().SplitParagraph(text.Layout());
            continue;
        }
        bool lossless = false;
        const std::string byte =
            cp1252::FromUtf8(QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1).toStdString(), &lossless);
        if (!lossless || byte.size() != 1 || static_cast<uint8_t>(byte[0]) < 32) {
            refused = true;
            continue;
        }
        text.Editing().InsertChar(text.Layout(), static_cast<uint8_t>(byte[0]));
    }
    if (refused) QApplication::beep();
}

class CDropFilter final : public QObject {
public:
    explicit CDropFilter(CPlumeView& view) : QObject(&view), m_view(view) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!Wanted(drag->mimeData())) return false; // the frame may take it
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!Wanted(drop->mimeData())) return false;
            Drop(*drop);
            return true;
        }
        default:
            return false;
        }
    }

private:
    // Refused while a text is edited or a gesture is under way (a selection
    // dragged here from another page window is under way by nature).
    bool Wanted(const QMimeData* data) const {
        if (m_view.Page().IsEditingText()) return false;
        if (IsDragFromSiblingPage(data, m_view.Page())) return true;
        if (QApplication::mouseButtons() != Qt::NoButton) return false;
        for (const auto& file : DroppedFiles(data))
            if (pw::clipboard::IsPictureFile(file)) return true;
        return false;
    }

    void Drop(QDropEvent& drop) {
        const QPoint at = drop.position().toPoint();
        const DPOINT page{double(at.x() + m_view.horizontalScrollBar()->value()),
                          double(at.y() + m_view.verticalScrollBar()->value())};
        if (IsDragFromSiblingPage(drop.mimeData(), m_view.Page())) {
            DropObjects(Bytes(drop.mimeData(), kObjectsType), page);
            drop.setDropAction(Qt::CopyAction);
            drop.accept();
            emit m_view.inspectorNotify(kNotifyChanged);
            return;
        }
        QStringList failed;
        pw::clipboard::DropPictureFiles(
            m_view.Page(), DroppedFiles(drop.mimeData()), page,
            [&](const std::filesystem::path& file, int) {
                failed << QString::fromStdString(file.string());
            });
        drop.setDropAction(Qt::CopyAction);
        drop.accept();
        emit m_view.inspectorNotify(kNotifyChanged);
        for (const QString& file : failed)
            QMessageBox::warning(&m_view, QStringLiteral("Billedet kunne ikke indlæses"),
                                 QStringLiteral("Billedet %1 kunne ikke indlæses.").arg(file));
    }

    // The copy lands centred on the drop point, in one insert step.
    void DropObjects(const std::vector<uint8_t>& bytes, DPOINT at) {
        CPage& page = m_view.Page();
        const CRect whole{0, 0, page.Width(), page.Height()};
        if (pw::clipboard::PasteObjects(page, bytes, false, whole) == 0) return;
        CRect bounds;
        for (const auto& set : page.Sets())
            if (set->IsSelected()) bounds = UnionRect(bounds, set->Bounds());
        const int dx = static_cast<int>(std::lround(at.x - (bounds.left + bounds.right) / 2.0));
        const int dy = static_cast<int>(std::lround(at.y - (bounds.top + bounds.bottom) / 2.0));
        for (const auto& set : page.Sets())
            if (set->IsSelected()) set->MoveBy(dx, dy);
        for (const auto& set : page.Sets())
            if (set->IsSelected())
                for (CPageItem* item : set->Items()) item->Current().PrepareAndRender(page.TileBuffer());
        page.MarkModified();
        page.Repaint();
    }

    CPlumeView& m_view;
};
} // namespace

CRect VisibleArea(const CPlumeView& view) {
    const int x = view.horizontalScrollBar()->value(), y = view.verticalScrollBar()->value();
    const QSize size = view.viewport()->size();
    const CPage& page = view.Page();
    return CRect{x, y, std::min(page.Width(), x + size.width()),
                 std::min(page.Height(), y + size.height())};
}

bool CanCopy(const CPlumeView& view) {
    if (const CTextObject* text = EditedText(view)) return text->Editing().HasSelection();
    return view.Page().SelectedSetCount() > 0;
}

void Copy(CPlumeView& view) {
    if (const CTextObject* text = EditedText(view))
        Put(TextData(*text));
    else
        Put(ObjectsData(view.Page()));
}

void Cut(CPlumeView& view) {
    if (!CanCopy(view)) return;
    Copy(view);
    CPage& page = view.Page();
    if (CTextObject* text = EditedText(view)) {
        const CRect before = text->GetRect();
        page.RecordUndo(EUndoKind::TextRecord);
        text->Editing().DeleteSelection(text->Layout());
        TextChanged(view, *text, before);
        return;
    }
    const CRect area = page.SelectionArea();
    page.RecordUndo(EUndoKind::Delete);
    page.History().KeepRemoved(page.DeleteSelected());
    page.Repaint(area);
    emit view.inspectorNotify(kNotifyChanged);
}

bool CanPaste(const CPlumeView& view) {
    const QMimeData* data = Current();
    if (view.Page().IsEditingText()) return HasText(data);
    return HasObjects(data) || HasPicture(data);
}

void Paste(CPlumeView& view) {
    const QMimeData* data = Current();
    CPage& page = view.Page();
    if (CTextObject* text = EditedText(view)) {
        if (!HasText(data)) return;
        const CRect before = text->GetRect();
        page.RecordUndo(EUndoKind::TextRecord);
        if (data->hasFormat(kTextType)) {
            try {
                text->PasteRuns(Bytes(data, kTextType), ForeignData(), page.Site().PageCount());
            } catch (const CFileFormatException&) {
                return; // damaged data: the text is unchanged
            }
        } else {
            text->Editing().DeleteSelection(text->Layout());
            InsertPlain(*text, data->text());
        }
        TextChanged(view, *text, before);
        return;
    }
    // Our text with no text being edited: nothing to do.
    if (data && data->hasFormat(kTextType) && !HasObjects(data)) return;
    if (HasObjects(data)) {
        CFailure failure;
        pw::clipboard::PasteObjects(page, Bytes(data, kObjectsType), ForeignData(),
                                    VisibleArea(view), &failure);
    } else if (HasPicture(data)) {
        std::unique_ptr<CImage> picture = Picture(data);
        if (!picture || !pw::clipboard::PastePicture(page, std::move(picture), VisibleArea(view))) {
            QMessageBox::warning(&view, QStringLiteral("Sæt ind"),
                                 QStringLiteral("Billedet på udklipsholderen kunne ikke læses."));
            return;
        }
    } else {
        return;
    }
    emit view.inspectorNotify(kNotifyChanged);
}

void CopyBackground(CPlumeView& view) { Put(BackgroundData(view.Page())); }

bool CanPasteBackground(const CPlumeView& view) {
    return !view.Page().IsEditingText() && HasBackground(Current());
}

void PasteBackground(CPlumeView& view) {
    if (!CanPasteBackground(view)) return;
    if (pw::clipboard::PasteBackground(view.Page(), Bytes(Current(), kBackgroundType)))
        emit view.inspectorNotify(kNotifyChanged);
}

void AcceptDroppedPictures(CPlumeView& view) {
    view.viewport()->setAcceptDrops(true);
    view.viewport()->installEventFilter(new CDropFilter(view));
}

} // namespace pw::editor_clipboard
