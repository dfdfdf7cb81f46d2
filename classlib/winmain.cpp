// The entry of a program built on CWinApp: the application object is a static
// object of the program, and runs from here.
#include "winapp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AfxWinMain(instance); }
