#pragma once
#include <cstdint>
#include <functional>
#include <string>

class CButtonText;
class CFailure;
class CCharStyle;
class CEffects;
class CObjectFill;
class CObjectLink;
class CPage;
class CPageItem;
class CPageObject;

// The edits the property windows make to the object being inspected: the
// current object of the first item of the first selected set. Each edit
// records exactly one undo step (when it changes something), renders what
// went stale and repaints the union of the object's old and new areas.

// The inspected item and its current object; null without a selection.
CPageItem* InspectedItem(const CPage& page);
CPageObject* InspectedObject(const CPage& page);

// What a property window may do with the inspected object.
enum class EInspectorNeed { Object, Effects, Fill, Link, MouseOver, ButtonText };
// True when there is an inspected object, the page edits no text in place
// and the object (for Fill: every selected object) has the capability.
bool CanInspect(const CPage& page, EInspectorNeed need);

// Effects: `live` says whether the change shows (the effect it touches is or
// becomes switched on). A live change that differs records an "effekter"
// step, hands the object a changed copy, renders and repaints; a change to a
// switched-off effect is stored in the record without undo, rendering or
// repainting. True when the record changed.
bool EditEffects(CPage& page, bool live, const std::function<void(CEffects&)>& change);
// Fill: one "udfyldning" step; the copy is handed to the object.
bool EditFill(CPage& page, const std::function<void(CObjectFill&)>& change);
// Link of the object and of its twin (one "link" step). A text that is not
// advanced carries its link in its characters: the whole text is relinked
// with a "tekst" step instead. Texts are checked against the records that
// store them before anything changes (a save never meets one they cannot
// hold): a changed link whose e-mail address, web address or document is
// longer than 2048 bytes, an alternative text or a caption beyond the same
// limit, is refused, with a sentence a dialog can show in `failure`.
bool EditLink(CPage& page, const std::function<void(CObjectLink&)>& change,
              CFailure* failure = nullptr);
bool LinkFitsRecord(const CObjectLink& link, CFailure* failure);
// The link the link window shows: the object's, or a plain text's first
// character's.
CObjectLink InspectedLink(const CPage& page);
// Button label and alternative text: one "objektegenskaber" step. Twins
// share the caption while they are synchronised.
bool EditButtonText(CPage& page, const std::function<void(CButtonText&)>& change,
                    CFailure* failure = nullptr);
bool EditAltText(CPage& page, const std::string& text, CFailure* failure = nullptr);

// Geometry of the inspected item ("flyt" step): the left-top of its area and
// its angle in radians.
bool MoveInspectedTo(CPage& page, int32_t left, int32_t top);
bool TurnInspectedTo(CPage& page, double angle);

// The style the windows show for a text: its first character's.
CCharStyle InspectedTextStyle(const CPage& page);
// Whole-text character styles and alignment of a text ("tekst" step).
bool RestyleInspectedText(CPage& page, const std::function<void(CCharStyle&)>& change);
bool AlignInspectedText(CPage& page, int32_t alignment);
// Switches a text between HTML text and advanced (picture) text ("tekstvisning").
bool SetInspectedTextAdvanced(CPage& page, bool advanced);
// Counter picture 0..3 and form receiver ("flyt": these travel with the geometry).
bool SetInspectedCounterStyle(CPage& page, int32_t style);
bool SetInspectedFormReceiver(CPage& page, const std::string& receiver);

// Mouse-over twins of the inspected item.
bool CanAddMouseOver(const CPage& page);
bool AddInspectedMouseOver(CPage& page);
bool RemoveInspectedMouseOver(CPage& page);
// Which of the two objects the other windows edit (no undo step: a view choice).
bool EditInspectedTwin(CPage& page, bool twin);
// Offset of the twin, each clamped into -100..100 ("MusOver indstillinger").
bool SetInspectedMouseOverOffset(CPage& page, int32_t x, int32_t y);
bool SetInspectedSyncTwins(CPage& page, bool sync);

// A typed web address as links store it: blanks trimmed, then a leading
// "http://" or "http:" with two backslashes (any letter case) removed, else
// "http:/" or "http:" with one backslash.
std::string NormaliseWebAddress(const std::string& typed);

// The page's background ("sideegenskaber" step), rendered and repainted.
class CBackgroundFill;
bool EditPageBackground(CPage& page, const std::function<void(CBackgroundFill&)>& change);
