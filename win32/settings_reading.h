// Reading the settings record that Dravik.exe stored.
#pragma once

#include "shared/settings_record.h"

namespace dravik {

// A value never written reads as the empty text.
SettingsRecord ReadSettingsRecord();

}  // namespace dravik
