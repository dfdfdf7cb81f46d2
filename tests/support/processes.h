// Other processes for the tests: started, waited for, and never left behind.
#pragma once

#include <windows.h>

#include <string>

class ChildProcess {
public:
    ChildProcess() = default;
    // Starts commandLine (the program quoted by the caller where needed) in folder, or here.
    explicit ChildProcess(const std::string& commandLine, const std::string& folder = std::string());
    ~ChildProcess();  // terminates the process if it still runs
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process; }
    bool IsRunning() const;
    // Waits for the end; false on timeout. exitCode receives the process's exit code.
    bool WaitForExit(DWORD milliseconds, DWORD* exitCode = nullptr);
    void Terminate();

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// Runs commandLine to its end and returns its exit code; fails the test on a timeout.
DWORD RunToEnd(const std::string& commandLine, DWORD milliseconds = 60000,
               const std::string& folder = std::string());

// Quotes a path for a command line.
std::string Quote(const std::string& path);

// Waits until condition() is true, checking every 10 ms; false on timeout.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD milliseconds = 20000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(10);
    }
    return true;
}
