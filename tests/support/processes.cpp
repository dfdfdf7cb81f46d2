#include "processes.h"

#include <gtest/gtest.h>

#include <vector>

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& folder)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        m_process = info.hProcess;
        m_id = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess()
{
    Terminate();
    if (m_process) CloseHandle(m_process);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : m_process(other.m_process), m_id(other.m_id)
{
    other.m_process = nullptr;
    other.m_id = 0;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        Terminate();
        if (m_process) CloseHandle(m_process);
        m_process = other.m_process;
        m_id = other.m_id;
        other.m_process = nullptr;
        other.m_id = 0;
    }
    return *this;
}

bool ChildProcess::IsRunning() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

bool ChildProcess::WaitForExit(DWORD milliseconds, DWORD* exitCode)
{
    if (!m_process || WaitForSingleObject(m_process, milliseconds) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(m_process, exitCode);
    return true;
}

void ChildProcess::Terminate()
{
    if (IsRunning()) {
        TerminateProcess(m_process, 255);
        WaitForSingleObject(m_process, 5000);
    }
}

DWORD RunToEnd(const std::string& commandLine, DWORD milliseconds, const std::string& folder)
{
    ChildProcess child(commandLine, folder);
    EXPECT_TRUE(child.Started()) << commandLine;
    DWORD code = 0xDEAD;
    EXPECT_TRUE(child.WaitForExit(milliseconds, &code)) << "still running: " << commandLine;
    return code;
}

std::string Quote(const std::string& path) { return "\"" + path + "\""; }
