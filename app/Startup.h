#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;

// From process start until the main window is up.
namespace pw::startup {

// The string table is the program's own, in Danish.
inline constexpr int kLanguage = 1030;

// The screen must show more than 15 bits per pixel.
bool ColourDepthOk(int bitsPerPixel);
// A web browser is installed: the desktop has a default handler for HTML
// pages, or one of the usual browser programs is on the PATH.
bool BrowserInstalled();

// What start-up asks the system and the user; tests replace any of it.
struct CStartupHooks {
    std::function<int()> colourDepth;                     // primary screen
    std::function<bool()> browserInstalled;               // BrowserInstalled
    std::function<void(const std::string& text)> refuse;  // a message box
    std::function<bool()> offerRecovery;                  // "Gendan" (true) or "Kassér"
    std::function<bool(CMainFrame&)> startupDialog;       // CMainFrame::RunStartupDialog
    QString settingsPath;                                 // empty: the user's file
    bool show = true;                                     // show the main window
};

struct CStartupResult {
    int exitCode = 0; // non-zero: start-up refused, no window
    std::unique_ptr<CMainFrame> frame;
    std::vector<std::string> steps; // what ran, in order
};

// Checks colour depth and browser, creates the main window (which reads the
// settings), places and shows it, offers a left recovery copy, opens the
// file named on the command line or shows the start-up dialog (when the
// settings ask for it), and restores the inspector.
CStartupResult Start(const QStringList& files, CStartupHooks hooks = {});

} // namespace pw::startup
