#pragma once

class CSettings;

// The settings in force for the whole process. Until the program installs the
// user's settings this is a default-constructed CSettings, so code that takes
// its starting values from the settings (a new button text, for one) behaves
// the same in the designer, the command-line program and the tests.
const CSettings& CurrentSettings();
void SetCurrentSettings(const CSettings& settings);
// For the few places that change a setting as they work (the counter number
// each new counter takes, the folder a picture was last chosen from).
CSettings& MutableCurrentSettings();
