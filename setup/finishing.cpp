#include "finishing.h"

#include <shellapi.h>
#include <string.h>

#include "../app/setup_state.h"
#include "../classlib/handles.h"
#include "../res/website.h"

namespace {
const char kInstallationPage[] = ORV_WEBSITE "/gxpro/InstScript.asp";
const char kInstalledPage[] = ORV_WEBSITE "/gxpro/installed.asp";
const char kUrlPrefix[] = "URL=http://";

// No arguments, the destination as working folder, nothing inherited; not waited for.
void StartProduct()
{
    const CString program = g_strInstallDir + "\\Glimcap6.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    // The program's quoted path alone, so that a folder with blanks reads as no arguments.
    char commandLine[MAX_PATH + 2];
    wsprintfA(commandLine, "\"%.259s\"", static_cast<const char*>(program));
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, g_strInstallDir, &startup, &info))
        return;
    CHandle process(info.hProcess);
    CHandle thread(info.hThread);
}
}  // namespace

CString ReadInstallQuery(const char* path)
{
    CStdioFile file(fopen(path, "rt"));
    if (!file.IsValid()) return CString();
    // 259 characters at a time: the prefix counts only at the start of what was read.
    char line[260];
    while (fgets(line, sizeof line, file.Get())) {
        if (strncmp(line, kUrlPrefix, sizeof kUrlPrefix - 1) != 0) continue;
        const int question = FindChar(line, '?');
        if (question < 0) return CString();
        CString query(line + question);
        query.TrimRight("\r\n");
        return query;
    }
    return CString();
}

CString ChooseFinishingPage()
{
    if (g_bSilent || !(g_bFreshInstall || g_bUpgrade)) return CString();
    if (!g_bFreshInstall) return kInstalledPage;
    const CString query = ReadInstallQuery(g_strInstallDir + "\\HomePage.url");
    return query.IsEmpty() ? CString(kInstalledPage) : kInstallationPage + query;
}

void OpenWebPage(const char* address) { ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL); }

void RunFinishingActions()
{
    SetCurrentDirectoryA(g_strInstallDir);
    const CString page = ChooseFinishingPage();
    if (!page.IsEmpty()) OpenWebPage(page);
    if (g_bRunAfter) StartProduct();
}
