// Reading .lnk files back through the shell-link object.
#pragma once

#include <string>

struct LinkContents {
    bool loaded = false;
    std::string target;
    std::string workingFolder;
};

// The shortcut's target path and working folder; loaded false when it cannot be read.
LinkContents ReadShellLink(const std::string& path);
