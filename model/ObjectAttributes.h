#pragma once
#include "services/Failure.h"
#include <string>

class CObjectLink;
class CPage;
class CPageItem;

// The alternative text and the link of an object as the inspector changes
// them: checked against the records that store them before anything changes,
// so a save never meets a text its record cannot hold. Each acts on the
// item's current object (the twin while the twin is being edited), records
// one undo step and marks the page modified; false, with `failure` (when
// given) holding a sentence a dialog can show, when a text is too long, and
// false without a failure when nothing would change or the object has no
// such record.

bool ApplyAltText(CPage& page, CPageItem& item, const std::string& altText,
                  CFailure* failure = nullptr);

// The e-mail address, web address and document of a link each fit a string
// record (2048 bytes).
bool LinkFitsRecord(const CObjectLink& link, CFailure* failure);
bool ApplyLink(CPage& page, CPageItem& item, const CObjectLink& link, CFailure* failure = nullptr);
