#include "setup/Setupaid.h"
#include "setup/InstallChecks.h"
#include "setup/Messages.h"
#include "setup/Shortcuts.h"
#include <cstdio>
#include <dlfcn.h>

namespace fs = std::filesystem;

namespace {

pw::setup::MessageFn MessagesTo(const SetupaidWindow* parent) {
    return [parent](const std::string& caption, const std::string& text) {
        if (parent && parent->showMessage)
            parent->showMessage(parent->user, caption.c_str(), text.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    };
}

// The prefix this library is installed in (<prefix>/lib/libsetupaid.so.1),
// for callers that do not name one.
fs::path LibraryPrefix() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryPrefix), &info) == 0 || !info.dli_fname) return {};
    std::error_code ec;
    const fs::path library = fs::canonical(info.dli_fname, ec);
    return ec ? fs::path() : library.parent_path().parent_path();
}

fs::path InstallFolder(const char* given) {
    if (!given || !*given) return LibraryPrefix();
    std::error_code ec;
    const fs::path folder = fs::absolute(given, ec);
    return ec ? fs::path(given) : folder;
}

} // namespace

extern "C" bool Setupaid(const SetupaidWindow* parent, const char*, const char*,
                         const char* installFolder, const char*) {
    const auto message = MessagesTo(parent);
    try {
        using namespace pw::setup;
        if (!MayWriteTo(InstallFolder(installFolder))) {
            message(kRightsCaption, kRightsText);
            return false;
        }
        if (ComponentVersionPasses(QtWidgetsVersion()) &&
            BrowserVersionPasses(DefaultBrowserVersion()))
            return true;
        message(kBrowserCaption, kBrowserText);
    } catch (const std::exception& error) {
        message("Setupaid", error.what());
    }
    return false;
}

extern "C" bool CreateShortcuts(const SetupaidWindow* parent, const char*, const char*,
                                const char* installFolder, const char*) {
    const auto message = MessagesTo(parent);
    try {
        pw::setup::MakeShortcuts(InstallFolder(installFolder), message);
    } catch (const std::exception& error) {
        message("CreateShortcuts", error.what());
    }
    return true;
}

extern "C" bool DeleteShortcuts(const SetupaidWindow*, const char*, const char*, const char*,
                                const char*) {
    try {
        pw::setup::RemoveShortcuts();
    } catch (...) {
        // Removal is best effort by design: the files may never have existed.
    }
    return true;
}
