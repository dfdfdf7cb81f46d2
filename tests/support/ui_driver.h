// Drives another process's windows as a user would: find a top-level window by
// its caption and owning process, read its static texts, press its buttons.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The visible top-level window of the process (any process when 0) whose caption
// is exactly caption; null if there is none now.
HWND FindTopLevelWindow(DWORD processId, const std::string& caption);
// The same, waiting until it appears; null on timeout.
HWND WaitForTopLevelWindow(DWORD processId, const std::string& caption, DWORD milliseconds = 20000);

std::string WindowText(HWND window);
// The texts of the window's static controls, in child order (a message box's text among them).
std::vector<std::string> StaticTexts(HWND window);
// The text of a message box: its static text that is not empty (its icon has none).
std::string MessageBoxText(HWND box);
HWND ControlById(HWND dialog, int id);
// Presses the button as a click would: BN_CLICKED to its dialog.
void PressButton(HWND dialog, int id);
// Waits until the window is gone; false on timeout.
bool WaitForWindowGone(HWND window, DWORD milliseconds = 20000);
