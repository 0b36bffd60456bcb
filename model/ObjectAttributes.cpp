#include "model/ObjectAttributes.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageProperties.h"
#include "model/UndoRecorder.h"
#include <memory>

bool ApplyAltText(CPage& page, CPageItem& item, const std::string& altText, CFailure* failure) {
    CPageObject& object = item.Current();
    const std::string* current = object.GetAltText();
    if (!current || *current == altText) return false;
    if (!TextFitsRecord(altText, kMaxStringLength, "The alternative text", failure)) return false;
    // The geometry step keeps the alternative text with the box.
    page.SelectOnly(item);
    page.RecordUndo(EUndoKind::Move);
    object.SetAltText(altText);
    page.MarkModified();
    return true;
}

bool LinkFitsRecord(const CObjectLink& link, CFailure* failure) {
    return TextFitsRecord(link.email, kMaxStringLength, "The e-mail address", failure) &&
           TextFitsRecord(link.url, kMaxStringLength, "The web address", failure) &&
           TextFitsRecord(link.document, kMaxStringLength, "The document name", failure);
}

bool ApplyLink(CPage& page, CPageItem& item, const CObjectLink& link, CFailure* failure) {
    CPageObject& object = item.Current();
    const CObjectLink* current = object.GetLink();
    if (!current || !object.CanHaveLink()) return false;
    // Every field counts, not only the ones the link's type uses: a switched
    // off link keeps what the user typed for when it is switched on again.
    if (current->type == link.type && current->enabled == link.enabled &&
        current->page == link.page && current->email == link.email && current->url == link.url &&
        current->document == link.document)
        return false;
    if (!LinkFitsRecord(link, failure)) return false;
    page.SelectOnly(item);
    page.RecordUndo(EUndoKind::Link);
    object.SetLink(std::make_unique<CObjectLink>(link));
    page.MarkModified();
    return true;
}
