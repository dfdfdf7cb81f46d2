// Removing the product's registry keys: its settings key in every hive, the
// maker's key where nothing is left under it, the document type, the uninstall
// entry and the application path entry.
#pragma once

#include <windows.h>

// Deletes the product's keys in the fixed order; best effort, reports nothing.
void RemoveRegistryEntries();

// Deletes subKey under root with every key below it, depth first; a key that
// cannot be deleted stays with its parents. True when subKey itself was deleted.
bool DeleteRegistryTree(HKEY root, const char* subKey);

// Deletes subKey under root only when it has no subkeys (its values do not count).
void DeleteKeyIfNoSubkeys(HKEY root, const char* subKey);
