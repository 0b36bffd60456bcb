#pragma once
// libsetupaid: the helper that installation scripts call while installing and
// removing Pagewright. Plain C linkage so that any installer (a shell script
// through setupaid-run, a package manager hook, a graphical installer) can
// load it with dlopen and call it by name.
//
// Every export takes five arguments, as installers pass them: the "parent
// window" that shows messages, then four texts of which only the fourth (the
// installation prefix, ending in '/') is read. The library has no GUI of its
// own: a message box is a call of the parent's callback.
#ifdef __cplusplus
extern "C" {
#else
#include <stdbool.h>
#endif

#define SETUPAID_EXPORT __attribute__((visibility("default")))

typedef struct SetupaidWindow {
    // Shows one message and returns when the user has seen it. Texts are
    // UTF-8; the caption is short, the text may hold line breaks.
    void (*showMessage)(void* user, const char* caption, const char* text);
    void* user;
} SetupaidWindow;

// True when the installation may proceed: the caller may write to the
// installation prefix (the 4th argument; the prefix this library is installed
// in when it is null or empty), the Qt Widgets library is 4.7 or newer and the
// default web browser is new enough. Otherwise shows one message and returns
// false. A null parent writes the message to standard error.
SETUPAID_EXPORT bool Setupaid(const SetupaidWindow* parent, const char* unused2,
                              const char* unused3, const char* installFolder, const char* unused5);

// Creates the desktop launcher and the applications-menu entries (program,
// help, the two getting-started documents) for the installation in
// installFolder. Problems are shown through the parent; always true.
SETUPAID_EXPORT bool CreateShortcuts(const SetupaidWindow* parent, const char* unused2,
                                     const char* unused3, const char* installFolder,
                                     const char* unused5);

// Removes what CreateShortcuts made, and the menu folder. Failures are
// ignored (the files may never have been made); always true.
SETUPAID_EXPORT bool DeleteShortcuts(const SetupaidWindow* parent, const char* unused2,
                                     const char* unused3, const char* unused4, const char* unused5);

#ifdef __cplusplus
}
#endif
