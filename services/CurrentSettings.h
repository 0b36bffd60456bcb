#pragma once

class CSettings;

// The settings in force for the whole process. Until the program installs the
// user's settings this is a default-constructed CSettings, so code that takes
// its starting values from the settings (a new button text, for one) behaves
// the same in the designer, the command-line program and the tests.
const CSettings& CurrentSettings();
void SetCurrentSettings(const CSettings& settings);
