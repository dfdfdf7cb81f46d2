#include "package_copy.h"

#include <string.h>

#include "../app/setup_state.h"
#include "../classlib/handles.h"
#include "file_replace.h"
#include "log_format.h"
#include "paths.h"

namespace {
// What NormalizeFolderName takes from both ends of a folder name.
const char kFolderTrim[] = " \t\r\n\\";


// A record without '>' may hold wildcards and copies every match under its own
// name; with '>' it names one file and the name it takes.
void CopyWithOperand(const FileOperand& file)
{
    if (!file.hasTarget)
        CopyMatchingFiles(file.source, g_strInstallDir, g_strSourceDir);
    else
        InstallFile(file.source, g_strSourceDir, g_strInstallDir, file.destination);
}

// True when the system can load a library of the record's name without the
// package's own copy, which is parked under ".toinst" meanwhile because the
// package folder is the first place the system's search looks.
bool IsLibraryPresent(const CString& name)
{
    CString packageCopy = JoinFolder(g_strSourceDir, name);
    CString parked = packageCopy + ".toinst";
    // A name too long to park could be found in the package itself: count it as present.
    if (!FitsPath(parked)) return true;
    MoveFileA(packageCopy, parked);
    CLibrary library(LoadLibraryA(name));
    MoveFileA(parked, packageCopy);
    return library.IsValid();
}

// Acts on a file record's operand unless it is refused; a "File Copy ind: "
// record only when the system has no library of its name.
void CopyRecord(const CString& operand, bool onlyWithoutLibrary)
{
    FileOperand file = SplitFileOperand(operand);
    if (!IsAcceptedFileOperand(file)) return;
    if (onlyWithoutLibrary && IsLibraryPresent(file.source)) return;
    CopyWithOperand(file);
}

// "Make Dir: " creates one level; a missing parent or an existing folder fails quietly.
void MakeDestinationFolder(const CString& operand)
{
    CString path = g_strInstallDir + "\\" + operand;
    if (IsSafeRelativePath(operand) && FitsPath(path)) CreateDirectoryA(path, nullptr);
}

// Where \\server\share\... begins its own folders: just past the share's name.
int FirstFolderAfterShare(const CString& path)
{
    int separators = 0;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\' && ++separators == 4) return static_cast<int>(p - static_cast<const char*>(path));
    return path.GetLength();
}

bool IsNetworkPath(const char* path)
{
    return (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
}

// Creates destFolder and its missing parents. The walk works on a normalised
// copy; a network path keeps its "\\" so that its folders are made from the
// share down instead of as a relative path.
void CreateFolderAndParents(const char* destFolder)
{
    CString copy(destFolder);
    NormalizeFolderName(copy);
    int first = 1;
    if (IsNetworkPath(destFolder)) {
        copy = "\\\\" + copy;
        first = FirstFolderAfterShare(copy) + 1;
    }
    for (const char* p = copy; *p; p = CharNextA(p)) {
        int at = static_cast<int>(p - static_cast<const char*>(copy));
        if (*p != '\\' || at < first) continue;
        CreateDirectoryA(copy.Left(at), nullptr);
    }
    CreateDirectoryA(destFolder, nullptr);
}
}  // namespace

BOOL IsRunningUnderWow64()
{
    BOOL wow64 = FALSE;
    if (g_pfnIsWow64Process) g_pfnIsWow64Process(GetCurrentProcess(), &wow64);
    return wow64;
}

void NormalizeFolderName(CString& text)
{
    text.Replace('/', '\\');
    text.TrimLeft(kFolderTrim);
    // From the end by whole characters: a trail byte equal to '\' is part of its character.
    int keep = 0;
    for (const char* p = text; *p; p = CharNextA(p))
        if (!strchr(kFolderTrim, *p)) keep = static_cast<int>(CharNextA(p) - static_cast<const char*>(text));
    if (keep != text.GetLength()) text = text.Left(keep);
}

void ProcessManifest(const char* manifestPath)
{
    BOOL wow64 = IsRunningUnderWow64();
    CLogReader manifest(manifestPath);
    if (!manifest.IsOpen()) return;
    CString line;
    CString operand;
    while (manifest.ReadLine(line)) {
        if (IsRecord(line, kFileCopy, operand))
            CopyRecord(operand, false);
        else if (wow64 && IsRecord(line, kFileCopyX64, operand))
            CopyRecord(operand, false);
        else if (IsRecord(line, kFileCopyInd, operand))
            CopyRecord(operand, true);
        else if (IsRecord(line, kMakeDir, operand))
            MakeDestinationFolder(operand);
    }
}

int CopyMatchingFiles(const char* pattern, const char* destFolder, const char* sourceFolder)
{
    CString searchPath = JoinFolder(sourceFolder, pattern);
    if (!FitsPath(searchPath)) return 0;
    WIN32_FIND_DATAA found;
    CFindHandle search(FindFirstFileA(searchPath, &found));
    if (!search.IsValid()) return 0;
    if (!PathExists(destFolder)) CreateFolderAndParents(destFolder);

    CString fromFolder(sourceFolder);
    CString intoFolder(destFolder);
    int lastSeparator = ReverseFindChar(pattern, '\\');
    if (lastSeparator >= 0) {
        fromFolder = searchPath.Left(searchPath.ReverseFind('\\'));
        intoFolder = intoFolder + "\\" + CString(pattern).Left(lastSeparator);
    }
    // Into a folder that starts empty, none of the walk's names can be there before
    // the walk puts it there: one look at the folder spares a look-up per file.
    const bool intoEmpty = IsEmptyFolder(intoFolder);
    int count = 0;
    do {
        // A folder that matches is passed over: it is never a file to put in place.
        if (IsDotEntry(found.cFileName) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (!InstallFile(found.cFileName, fromFolder, intoFolder, nullptr, intoEmpty)) break;
        ++count;
    } while (FindNextFileA(search.Get(), &found));
    return count;
}
