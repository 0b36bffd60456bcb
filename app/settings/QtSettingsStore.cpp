#include "app/settings/QtSettingsStore.h"
