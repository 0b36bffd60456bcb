#include "sitebuild/HtmlOutput.h"
#include "sitebuild/HtmlWriter.h"
#include "services/Cp1252.h"
#include "services/StringTable.h"

namespace {

// A page with nothing but one centred message. The text comes from the
// string table in UTF-8 and is written in the code page of the other pages.
// Browsers read the odd public identifier like the strict 4.0 one (standards
// mode), and a centred line looks the same either way.
bool WriteNoticePage(const std::filesystem::path& file, int stringId, CWriteFailure* failure) {
    std::string out = "<!DOCTYPE HTML PUBLIC \"-WC3//DTD HTML 4.0//EN\">\n"
                      "<HTML>\n<HEAD>\n";
    out += htmlout::kCharsetMeta;
    out += "</HEAD>\n<BODY>\n<center>\n";
    out += cp1252::FromUtf8(CStringTable::Get(stringId));
    out += "</center>\n</BODY>\n</HTML>\n";
    return htmlout::WriteFile(file, out, failure);
}

} // namespace

bool CHtmlWriter::WriteNoticePages(const std::filesystem::path& filesFolder,
                                   CWriteFailure* failure) {
    // Browsers older than version 4 are sent to error.html by the front
    // page's script; browsers without script reach noscript.html through
    // the refresh in every page's NOSCRIPT block.
    return WriteNoticePage(filesFolder / "error.html", IDS_NOTICE_OLD_BROWSER, failure) &&
           WriteNoticePage(filesFolder / "noscript.html", IDS_NOTICE_NO_SCRIPT, failure);
}
