#pragma once
#include "services/Geometry.h"

class CPlumeView;

// The Edit menu's clipboard commands and dropped files, acting on one page
// view: on the edited text's selection while a text is edited in place, on
// the page's selection otherwise.
namespace pw::editor_clipboard {

// The part of the page the view shows, in page coordinates.
CRect VisibleArea(const CPlumeView& view);

bool CanCopy(const CPlumeView& view);
void Copy(CPlumeView& view);
// Copy, then delete what was copied (one undo step).
void Cut(CPlumeView& view);
// In text editing: our text or plain text; otherwise our objects or a picture.
bool CanPaste(const CPlumeView& view);
void Paste(CPlumeView& view);

void CopyBackground(CPlumeView& view);
bool CanPasteBackground(const CPlumeView& view);
void PasteBackground(CPlumeView& view);

// Lets picture files from the desktop be dropped on the view: each becomes a
// picture centred at the drop point. Other drops (site files) go on to the
// window around the view.
void AcceptDroppedPictures(CPlumeView& view);

} // namespace pw::editor_clipboard
