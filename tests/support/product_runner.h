// Running copies of the stand-in product for the tests, each writing down what
// reaches it (instance messages, close requests) into a record file.
#pragma once

#include <string>

#include "processes.h"

class RunningProduct {
public:
    // Starts the product (Glimcap6.exe of the build, or a copy of it at exe) with a
    // record file in folder and waits until its window is up.
    RunningProduct(const std::string& folder, const std::string& name, bool ignoreClose = false,
                   const std::string& exe = std::string());

    DWORD Id() const { return m_process.Id(); }
    ChildProcess& Process() { return m_process; }
    std::string Record() const;  // what it has written down so far
    // Waits until the record holds the line; false on timeout.
    bool WaitForRecord(const std::string& line, DWORD milliseconds = 20000) const;
    // Asks it to close as a user would (WM_CLOSE, wParam 0) and waits for its end.
    bool CloseNormally();

private:
    std::string m_recordPath;
    ChildProcess m_process;
};
