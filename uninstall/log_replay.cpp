#include "log_replay.h"

#include <string.h>

#include "../app/setup_state.h"
#include "../classlib/handles.h"
#include "../install/log_format.h"
#include "../install/paths.h"

namespace {
const char* const kAllFileKinds[] = {kFileCopy, kFileCopyX64, kFileCopyInd, kFileOverwrite, kFileDel};


// The installer records nothing but shortcuts here, so a "Shell Link: " record
// naming any other file is not acted on.
bool IsShortcutFile(const CString& path)
{
    return path.GetLength() > 4 && path.Right(4).CompareNoCase(".lnk") == 0;
}

// The recorded folder goes if it is empty, then each parent while removal succeeds.
void RemoveFolderAndEmptyParents(const CString& folder)
{
    if (!FitsPath(folder)) return;
    CString path(folder);
    while (RemoveDirectoryA(path)) path = GetParentFolder(path);
}

// A file record names what it installed: the destination after '>', else the
// source, as a pattern inside folder. Refused records delete nothing.
void DeleteRecordedFiles(const char* folder, const CString& operand)
{
    FileOperand file = SplitFileOperand(CutAtNote(operand));
    if (!IsAcceptedFileOperand(file)) return;
    DeleteMatchingFiles(folder, file.hasTarget ? file.destination : file.source);
}

void RemoveMakeDirFolder(const char* folder, const CString& operand)
{
    CString path = CString(folder) + "\\" + operand;
    if (IsSafeRelativePath(operand) && FitsPath(path)) RemoveDirectoryA(path);
}
}  // namespace

void RemoveLinksAndMadeDirs(const char* logPath)
{
    CLogReader log(logPath);
    if (!log.IsOpen()) return;
    CString line;
    CString operand;
    while (log.ReadLine(line))
        if (IsRecord(line, kShellLink, operand) && IsShortcutFile(operand) && FitsPath(operand))
            DeleteFileA(operand);
    log.Rewind();
    while (log.ReadLine(line))
        if (IsRecord(line, kMadeDir, operand)) RemoveFolderAndEmptyParents(operand);
}

void RemoveFilesAndMakeDirs(const char* logPath, const char* folder, const char* kind)
{
    const char* const* kinds = kind ? &kind : kAllFileKinds;
    int kindCount = kind ? 1 : static_cast<int>(sizeof kAllFileKinds / sizeof kAllFileKinds[0]);
    CLogReader log(logPath);
    if (!log.IsOpen()) return;
    CString line;
    CString operand;
    while (log.ReadLine(line))
        for (int i = 0; i < kindCount; ++i)
            if (IsRecord(line, kinds[i], operand)) DeleteRecordedFiles(folder, operand);
    log.Rewind();
    while (log.ReadLine(line))
        if (IsRecord(line, kMakeDir, operand)) RemoveMakeDirFolder(folder, operand);
}

void DeleteMatchingFiles(const char* folder, const char* pattern)
{
    CString base(folder);
    if (!base.IsEmpty() && !EndsWithSeparator(base)) base += '\\';
    CString searchPath = base + pattern;
    if (!FitsPath(searchPath)) return;
    WIN32_FIND_DATAA found;
    CFindHandle search(FindFirstFileA(searchPath, &found));
    if (!search.IsValid()) return;
    // The search returns bare names: the pattern's subfolder goes back in front.
    CString subfolder = CString(pattern).Left(ReverseFindChar(pattern, '\\') + 1);
    do {
        // A folder that matches is passed over, its attributes untouched.
        if (IsDotEntry(found.cFileName) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        CString path = base + subfolder + found.cFileName;
        // The search has just read the entry's attributes: no need to ask again.
        if (FitsPath(path)) ClearAttributesAndDelete(path, found.dwFileAttributes);
    } while (FindNextFileA(search.Get(), &found));
}
