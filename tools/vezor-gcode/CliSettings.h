#pragma once

#include <string>

#include "lib/MachiningSettings.h"

// The machining settings for one command-line run, read as the window reads
// them: defaults for missing or unusable values, nothing written back. A stored
// value that is present but unusable is told on standard error (UTF-8), as the
// window tells it in a message box; a missing one is not.
MachiningSettings StoredSettingsQuietly();

// Applies one --setting KEY=VALUE (UTF-8). Throws OptionsError for an unknown
// key or a value that is not valid for it.
void ApplySettingOverride(MachiningSettings& settings, const std::string& key,
                          const std::string& value);
