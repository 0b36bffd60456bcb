#pragma once
#include <QString>

class CSettings;
struct CSettingsEnvironment;

// Reading and writing the per-user settings file. Only the designer writes
// it; the command-line program reads the same file.
namespace pw::settingsfile {

// ~/.config/Quillmarsh/Pagewright.conf (following XDG_CONFIG_HOME), or the
// file PW_SETTINGS names (tests and scripted sessions).
QString DefaultPath();
// Every value from the file, defaults where it has none (a missing file is
// an empty one).
void Load(CSettings& settings, const QString& path, const CSettingsEnvironment& environment);
// Every value, written to a new file that replaces the old one in one step,
// so a crash leaves the old or the new file and never half of one. The file
// is readable by its owner only (it holds the FTP passwords). False when it
// could not be written.
bool Save(const CSettings& settings, const QString& path);

} // namespace pw::settingsfile
