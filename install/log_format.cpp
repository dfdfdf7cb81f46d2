#include "log_format.h"

#include <string.h>

#include "paths.h"

const char kFileCopy[] = "File Copy: ";
const char kFileCopyX64[] = "File Copy x64: ";
const char kFileCopyInd[] = "File Copy ind: ";
const char kFileOverwrite[] = "File Overwrite: ";
const char kFileDel[] = "File Del: ";
const char kMakeDir[] = "Make Dir: ";
const char kMadeDir[] = "Made Dir: ";
const char kShellLink[] = "Shell Link: ";

namespace {
const char kBlanks[] = " \t\n\v\f\r";
const int kLineBufferSize = 512;
}  // namespace

// Text mode, so CR LF and a bare LF both end a line.
CLogReader::CLogReader(const char* path) : m_file(fopen(path, "rt")) {}

CLogReader::~CLogReader()
{
    if (m_file) fclose(m_file);
}

bool CLogReader::ReadLine(CString& line)
{
    char buffer[kLineBufferSize];
    if (!m_file || !fgets(buffer, sizeof buffer, m_file)) return false;
    // A longer line is left in the stream and comes back as the next line.
    int length = static_cast<int>(strlen(buffer));
    while (length > 1 && static_cast<unsigned char>(buffer[length - 1]) <= 0x20) --length;
    line = CString(buffer, length);
    return true;
}

void CLogReader::Rewind()
{
    if (m_file) rewind(m_file);
}

bool IsRecord(const CString& line, const char* prefix, CString& operand)
{
    size_t length = strlen(prefix);
    if (strncmp(line, prefix, length) != 0) return false;
    operand = line.Mid(static_cast<int>(length));
    return true;
}

FileOperand SplitFileOperand(const CString& operand)
{
    FileOperand file;
    int arrow = operand.Find('>');
    if (arrow < 0) {
        file.source = operand;
        return file;
    }
    file.source = operand.Left(arrow);
    file.source.TrimRight(kBlanks);
    file.destination = operand.Mid(arrow + 1);
    file.destination.TrimLeft(kBlanks);
    file.hasTarget = true;
    return file;
}

CString CutAtNote(const CString& operand)
{
    int note = operand.Find(" | ");
    return note < 0 ? operand : operand.Left(note);
}

bool IsAcceptedFileOperand(const FileOperand& file)
{
    if (!IsSafeRelativePath(file.source)) return false;
    return !file.hasTarget || IsSafeRelativePath(file.destination);
}

void AppendLogRecord(const char* path, const char* text)
{
    FILE* log = fopen(path, "at");
    if (!log) return;
    fputs(text, log);
    fputs("\n", log);
    fclose(log);
}
