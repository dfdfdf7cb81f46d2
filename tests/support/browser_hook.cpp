#include "browser_hook.h"

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "paths.h"
#include "processes.h"
#include "scratch.h"

namespace {
const char kBrowserKey[] = "Software\\Wine\\WineBrowser";
const char kMarkerHost[] = "http://marker.invalid/";

// The script is made by the build; it appends its first argument to this file.
std::string RecordPath() { return BuildPath("tests/helpers/browser-opened.txt"); }
std::string ScriptUnixPath() { return std::string(GLX_BUILD_DIR) + "/tests/helpers/record-browser.sh"; }

bool IsLauncherRunning()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool running = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !running; more = Process32Next(snapshot, &entry))
        running = lstrcmpiA(entry.szExeFile, "winebrowser.exe") == 0;
    CloseHandle(snapshot);
    return running;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}
}  // namespace

BrowserRecorder::BrowserRecorder()
{
    m_previous = GetRegistryString(HKEY_CURRENT_USER, kBrowserKey, "Browsers");
    m_hadPrevious = !m_previous.empty();
    SetRegistryString(HKEY_CURRENT_USER, kBrowserKey, "Browsers", ScriptUnixPath());
    DeleteFileA(RecordPath().c_str());
}

BrowserRecorder::~BrowserRecorder()
{
    if (m_hadPrevious)
        SetRegistryString(HKEY_CURRENT_USER, kBrowserKey, "Browsers", m_previous);
    else
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kBrowserKey, "Browsers");
    DeleteFileA(RecordPath().c_str());
}

std::vector<std::string> BrowserRecorder::Opened()
{
    // A launcher still at work for the program under test hands its address on
    // before the marker's launcher starts.
    EXPECT_TRUE(WaitUntil([] { return !IsLauncherRunning(); }));
    const std::string marker = kMarkerHost + std::to_string(++m_markers);
    ShellExecuteA(nullptr, "open", marker.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    std::vector<std::string> opened;
    const bool arrived = WaitUntil([&] {
        opened = Lines(ReadTextFile(RecordPath()));
        for (const std::string& line : opened)
            if (line == marker) return true;
        return false;
    });
    EXPECT_TRUE(arrived) << "the browser hook did not record " << marker;
    DeleteFileA(RecordPath().c_str());
    std::vector<std::string> pages;
    for (const std::string& line : opened)
        if (line.rfind(kMarkerHost, 0) != 0) pages.push_back(line);
    return pages;
}
