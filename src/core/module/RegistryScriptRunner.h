#pragma once

#include "core/module/RegistryScript.h"
#include "core/platform/RegistryEditor.h"

// Applies a registration script to a registry.
namespace wisp {

// Writes every key and value of the script. A force-remove key is first deleted with
// everything below it (the shared keys CLSID and TypeLib never are). Stops at the first
// write that fails and returns false; what was written before stays.
bool RegisterScript(const RegistryScript& script, IRegistryEditor& registry);

// Deletes every value the script names, then every key it names that has no sub-keys left,
// innermost first; a kept key is never deleted. Missing keys and values are no error, and
// nothing here fails.
void UnregisterScript(const RegistryScript& script, IRegistryEditor& registry);

}  // namespace wisp
