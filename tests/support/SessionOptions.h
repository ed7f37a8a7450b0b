#pragma once

#include "rules/LauncherSession.h"

// The two options as the store gives them at the start, and as the user
// switched them in the Info window during the run.
inline constexpr Nimbrel::OptionSetting OffAsStored{false, false};
inline constexpr Nimbrel::OptionSetting OnAsStored{true, false};
inline constexpr Nimbrel::OptionSetting SwitchedOff{false, true};
inline constexpr Nimbrel::OptionSetting SwitchedOn{true, true};
