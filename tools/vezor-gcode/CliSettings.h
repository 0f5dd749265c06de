#pragma once

#include <string>

#include "app/MachiningSettings.h"

// The machining settings for one command-line run: the user's stored values,
// defaults for missing or unreadable ones (silently, nothing written back).
MachiningSettings StoredSettingsQuietly();

// Applies one --setting KEY=VALUE (UTF-8). Throws OptionsError for an unknown
// key or a value that is not valid for it.
void ApplySettingOverride(MachiningSettings& settings, const std::string& key,
                          const std::string& value);
