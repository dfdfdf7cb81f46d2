// The uninstall run: removes an installed copy of the product from its install
// folder, the registry, the image-type handlers and the shell folders.
#pragma once

#include <windows.h>

// Removes what the logs in folder (absolute, ending with '\') record, the product's
// keys and handlers, the folder when it is left empty, and the default shortcuts
// and program groups of every profile. Best effort: what fails stays; never reports.
void RunUninstall(const char* folder);

// Puts back the image-type handlers that name "Glimcap6.exe" from their saved
// "GlimcapOld" values (or deletes them) and announces a change to the shell once.
// True when any handler changed.
bool RestoreImageHandlers();

// The names of one profile's three values in a Shell Folders key.
struct ShellFolderNames {
    const char* startup;
    const char* desktop;
    const char* programs;
};

// Deletes "Glimmerix 6.lnk" from the start-up and desktop folders and empties and
// removes the "Glimmerix 6" group of the programs folder that the Shell Folders key
// at root\path names; the key is opened with access. A value that is missing, empty
// or too long for its joined path is skipped; a shortened path is never deleted.
void RemoveDefaultShortcuts(HKEY root, const char* path, REGSAM access, const ShellFolderNames& names);
