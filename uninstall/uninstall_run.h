// The uninstall run: removes an installed copy of the product from its install
// folder, the registry, the image-type handlers and the shell folders.
#pragma once

// Removes what the logs in folder (absolute, ending with '\') record, the product's
// keys and handlers, the folder when it is left empty, and the default shortcuts
// and program groups of every profile. Best effort: what fails stays; never reports.
void RunUninstall(const char* folder);

// Puts back the image-type handlers that name "Glimcap6.exe" from their saved
// "GlimcapOld" values (or deletes them) and announces a change to the shell once.
// True when any handler changed.
bool RestoreImageHandlers();
