// The line rules shared by every reader of the manifest and the install log, the
// file operand, and appending records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../install/log_format.h"
#include "scratch.h"

namespace {
const char* const kAllKinds[] = {kFileCopy, kFileCopyX64, kFileCopyInd, kFileOverwrite,
                                 kFileDel,  kMakeDir,     kMadeDir,     kShellLink};

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    CLogReader reader(path.c_str());
    CString line;
    while (reader.ReadLine(line)) lines.push_back(static_cast<const char*>(line));
    return lines;
}

// Each record as "prefix|operand"; lines of no kind left out.
std::vector<std::string> ReadRecords(const std::string& path)
{
    std::vector<std::string> records;
    for (const std::string& text : ReadLines(path)) {
        CString operand;
        for (const char* kind : kAllKinds)
            if (IsRecord(CString(text.c_str()), kind, operand))
                records.push_back(std::string(kind) + "|" + static_cast<const char*>(operand));
    }
    return records;
}

struct LineCase {
    const char* name;
    std::string content;
    std::vector<std::string> records;
};

const std::string k500(500, 'x');

const LineCase kLineCases[] = {
    {"CrLf", "File Copy: a.txt\r\nMake Dir: sub\r\n", {"File Copy: |a.txt", "Make Dir: |sub"}},
    {"LfOnly", "File Copy: a.txt\nMake Dir: sub\n", {"File Copy: |a.txt", "Make Dir: |sub"}},
    {"NoFinalLineEnd", "File Copy: a.txt\r\nMake Dir: sub", {"File Copy: |a.txt", "Make Dir: |sub"}},
    {"ByteOrderMark", "\xEF\xBB\xBF" "File Copy: a.txt\r\nFile Del: b.txt\r\n", {"File Del: |b.txt"}},
    {"TrailingBlanksAndControls", "File Copy: a b.txt \t\x01 \r\n", {"File Copy: |a b.txt"}},
    {"LeadingBlanksBelongToName", "File Copy:   a.txt\r\n", {"File Copy: |  a.txt"}},
    {"PrefixOnlyIsNoRecord", "Make Dir: \r\nMake Dir:\r\n", {}},
    {"OtherCaseOrIndented", "file copy: a.txt\r\n File Copy: b.txt\r\nFILE DEL: c\r\n\tMade Dir: C:\\x\r\n", {}},
    {"CommentsAndBlankLines", "; packed 2026\r\n\r\nFile Copy x64: x64\\a.dll\r\nfree text\r\n",
     {"File Copy x64: |x64\\a.dll"}},
    {"EveryKind",
     "File Copy: a\nFile Copy x64: b\nFile Copy ind: c\nFile Overwrite: d\nFile Del: e\nMake Dir: f\nMade Dir: "
     "C:\\g\nShell Link: C:\\h.lnk\n",
     {"File Copy: |a", "File Copy x64: |b", "File Copy ind: |c", "File Overwrite: |d", "File Del: |e", "Make Dir: |f",
      "Made Dir: |C:\\g", "Shell Link: |C:\\h.lnk"}},
    // 11 + 500 characters fill the 511 of one read; the rest reads as a line of its own.
    {"LongLineTailIsALineOfItsOwn", "File Copy: " + k500 + "File Del: tail.txt\r\n",
     {"File Copy: |" + k500, "File Del: |tail.txt"}},
    {"Empty", "", {}},
};

class LineRules : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRules, YieldTheSameRecords)
{
    ScratchFolder folder;
    WriteTextFile(folder / "OrvUnInst.log", GetParam().content);
    EXPECT_EQ(ReadRecords(folder / "OrvUnInst.log"), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(Logs, LineRules, ::testing::ValuesIn(kLineCases),
                         [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(LineReader, LongLineIsCutAt511Characters)
{
    ScratchFolder folder;
    WriteTextFile(folder / "long.log", "File Copy: " + std::string(589, 'y') + "\r\nMake Dir: m\r\n");
    std::vector<std::string> lines = ReadLines(folder / "long.log");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 511u);
    EXPECT_EQ(lines[1], std::string(89, 'y'));
    EXPECT_EQ(lines[2], "Make Dir: m");
}

TEST(LineReader, MissingFileHasNoLinesAndRewindStartsOver)
{
    ScratchFolder folder;
    CLogReader missing((folder / "missing.log").c_str());
    CString line;
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.ReadLine(line));

    WriteTextFile(folder / "two.log", "Shell Link: C:\\a.lnk\r\nMade Dir: C:\\g\r\n");
    CLogReader reader((folder / "two.log").c_str());
    while (reader.ReadLine(line)) {
    }
    reader.Rewind();
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(std::string(line), "Shell Link: C:\\a.lnk");
}

struct OperandCase {
    const char* operand;
    const char* source;
    const char* destination;
    bool hasTarget;
};

TEST(FileOperands, SplitAtFirstArrowDroppingBlanksAroundIt)
{
    const OperandCase cases[] = {
        {"app.exe", "app.exe", "", false},
        {"*.dll", "*.dll", "", false},
        {"app.exe > bin\\tool.exe", "app.exe", "bin\\tool.exe", true},
        {"app.exe\t \v>\f\t bin\\tool.exe", "app.exe", "bin\\tool.exe", true},
        {"app.exe>tool.exe", "app.exe", "tool.exe", true},
        {"a > b > c", "a", "b > c", true},
        {" lead.txt > x", " lead.txt", "x", true},
        {"app.exe >", "app.exe", "", true},
        // The installer keeps a note as part of the name.
        {"a.dll | note", "a.dll | note", "", false},
    };
    for (const OperandCase& c : cases) {
        FileOperand file = SplitFileOperand(CString(c.operand));
        EXPECT_EQ(std::string(file.source), c.source) << c.operand;
        EXPECT_EQ(std::string(file.destination), c.destination) << c.operand;
        EXPECT_EQ(file.hasTarget, c.hasTarget) << c.operand;
    }
}

TEST(FileOperands, ReplayDropsTheNote)
{
    EXPECT_EQ(std::string(CutAtNote(CString("app.exe > bin\\tool.exe | note"))), "app.exe > bin\\tool.exe");
    EXPECT_EQ(std::string(CutAtNote(CString("a.dll | one | two"))), "a.dll");
    EXPECT_EQ(std::string(CutAtNote(CString("a|b.dll"))), "a|b.dll");
    EXPECT_EQ(std::string(CutAtNote(CString("plain.txt"))), "plain.txt");
}

TEST(FileOperands, RefusedWhenEmptyAfterArrowAbsoluteOrClimbing)
{
    const char* accepted[] = {"a.txt", "sub\\a.txt", "*.dll", "help\\*.chm", "a..b.txt", "..a", "a > sub\\b",
                              ".\\a.txt", "a.txt > .b"};
    const char* refused[] = {"a.txt >",        "a.txt > \t",       "C:\\Windows\\a.dll", "c:a.dll",
                             "\\a.dll",        "/a.dll",           "\\\\server\\share\\a", "//server/share/a",
                             "..\\a.dll",      "sub\\..\\..\\a",   "sub/../a",           "sub\\..",
                             "...\\a.dll",     ". .\\a.dll",       "a > ..\\b",          "a > C:\\b",
                             "a > \\\\s\\h\\b", "..\\a > b",        "a.txt:stream",       ""};
    for (const char* operand : accepted)
        EXPECT_TRUE(IsAcceptedFileOperand(SplitFileOperand(CString(operand)))) << operand;
    for (const char* operand : refused)
        EXPECT_FALSE(IsAcceptedFileOperand(SplitFileOperand(CString(operand)))) << operand;
}

// The empty line that the install run appends after copying the manifest puts the
// next record on a line of its own, however the manifest ended.
TEST(AppendedRecords, StartOnALineOfTheirOwn)
{
    const char* endings[] = {"File Copy: a.txt\r\n", "File Copy: a.txt\n", "File Copy: a.txt"};
    for (const char* manifest : endings) {
        ScratchFolder folder;
        std::string log = folder / "OrvUnInst.log";
        WriteTextFile(log, manifest);
        AppendLogRecord(log.c_str(), "");
        AppendLogRecord(log.c_str(), "Made Dir: C:\\Programs\\Glimmerix 6");
        EXPECT_EQ(ReadRecords(log),
                  (std::vector<std::string>{"File Copy: |a.txt", "Made Dir: |C:\\Programs\\Glimmerix 6"}))
            << manifest;
        std::string content = ReadTextFile(log);
        EXPECT_EQ(content.substr(content.size() - 2), "\r\n") << "text mode writes CR LF";
    }
}

TEST(AppendedRecords, CreateTheLogOrWriteNothing)
{
    ScratchFolder folder;
    AppendLogRecord((folder / "new.log").c_str(), "Shell Link: C:\\a.lnk");
    EXPECT_EQ(ReadTextFile(folder / "new.log"), "Shell Link: C:\\a.lnk\r\n");
    AppendLogRecord((folder / "missing\\new.log").c_str(), "Shell Link: C:\\a.lnk");
    EXPECT_FALSE(FolderExists(folder / "missing"));
}
}  // namespace
