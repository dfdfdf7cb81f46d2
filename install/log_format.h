// The line-record format shared by the package manifest and the install log.
//
// One record per line, at most 511 characters read at a time (the rest of a
// longer line reads as the next line), trailing characters 0x00-0x20 stripped,
// a record's prefix (colon and one blank included) at the very first column,
// compared case-sensitively. Lines without a prefix are comments.
#pragma once

#include <stdio.h>

#include "../classlib/cstring.h"

// Record prefixes.
extern const char kFileCopy[];       // "File Copy: "
extern const char kFileCopyX64[];    // "File Copy x64: "
extern const char kFileCopyInd[];    // "File Copy ind: "
extern const char kFileOverwrite[];  // "File Overwrite: "
extern const char kFileDel[];        // "File Del: "
extern const char kMakeDir[];        // "Make Dir: "
extern const char kMadeDir[];        // "Made Dir: "
extern const char kShellLink[];      // "Shell Link: "

// Reads a manifest or log line by line; a file that cannot be opened has no lines.
class CLogReader {
public:
    explicit CLogReader(const char* path);
    ~CLogReader();
    CLogReader(const CLogReader&) = delete;
    CLogReader& operator=(const CLogReader&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // The next line, trailing characters 0x00-0x20 removed; false at the end.
    bool ReadLine(CString& line);
    // Back to the first line, for a second pass.
    void Rewind();

private:
    FILE* m_file;
};

// True when line is a record of the kind prefix; operand receives the text after it.
bool IsRecord(const CString& line, const char* prefix, CString& operand);

// A file operand split at its first '>': source with trailing blanks removed,
// destination with leading blanks removed (empty and hasTarget false without '>').
struct FileOperand {
    CString source;
    CString destination;
    bool hasTarget = false;
};
FileOperand SplitFileOperand(const CString& operand);

// The operand as the uninstaller reads it: the text before the first " | ", the
// note after it dropped. The installer takes the whole operand.
CString CutAtNote(const CString& operand);

// False for a file record the installer and the replay must refuse: nothing
// after its '>', or a source or destination that is absolute (drive, leading
// '\' or '/', UNC) or climbs out of its folder with "..".
bool IsAcceptedFileOperand(const FileOperand& file);

// Appends text and a line end to the file (created if missing); nothing happens
// when it cannot be opened.
void AppendLogRecord(const char* path, const char* text);
