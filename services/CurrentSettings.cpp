#include "services/CurrentSettings.h"
#include "services/Settings.h"

namespace {
CSettings& Slot() {
    // Built on first use, so no other static's construction order matters.
    static CSettings settings;
    return settings;
}
} // namespace

const CSettings& CurrentSettings() {
    return Slot();
}

void SetCurrentSettings(const CSettings& settings) {
    Slot() = settings;
}

CSettings& MutableCurrentSettings() {
    return Slot();
}
