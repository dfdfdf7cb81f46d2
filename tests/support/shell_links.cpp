#include "shell_links.h"

#include <windows.h>

#include <shlobj.h>

LinkContents ReadShellLink(const std::string& path)
{
    LinkContents contents;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return contents;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        if (SUCCEEDED(file->Load(widePath, STGM_READ))) {
            char text[MAX_PATH] = "";
            link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
            contents.target = text;
            text[0] = 0;
            link->GetWorkingDirectory(text, MAX_PATH);
            contents.workingFolder = text;
            contents.loaded = true;
        }
        file->Release();
    }
    link->Release();
    return contents;
}
