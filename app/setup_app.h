// The application object: one executable that is the setup program and, under
// the name OrvUnInst.exe, the uninstaller.
#pragma once

#include "../classlib/winapp.h"

class CSetupApp : public CWinApp {
public:
    CSetupApp() = default;  // no name: the title is string 57344, "Glimmerix Setup"

    // Chooses the run (self-removal pass, setup, uninstall) and carries it out.
    // False: the run is complete, the uninstall was declined, or the copy that
    // removes the product could not be started. True: the setup was abandoned.
    BOOL InitInstance() override;
};

extern CSetupApp theApp;
