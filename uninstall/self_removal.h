// The two-process self-removal: the installed uninstaller hands over to a copy of
// itself in the temporary folder, which removes the product and then itself.
#pragma once

// Starts the temporary copy with "-delself" and the uninstaller's path, and ends
// this process. Returns only when the copy cannot be started.
void LaunchSelfRemoval();

// The temporary copy's pass over the installed uninstaller at uninstallerPath:
// removes the product and ends the process with exit code 0.
[[noreturn]] void RunSelfRemovalPass(const char* uninstallerPath);
