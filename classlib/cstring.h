// CString: an 8-bit string in the system ANSI code page with value semantics.
// Searches for single characters follow the code page's double-byte rules, so a
// trail byte that happens to equal '\\' is never taken for a separator.
#pragma once

#include <windows.h>

class CString {
public:
    CString();
    CString(const char* text);              // null gives an empty string
    CString(const char* text, int length);  // the first length bytes of text
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    int GetLength() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    void Empty();
    operator const char*() const { return m_pchData; }
    char GetAt(int index) const { return m_pchData[index]; }
    char operator[](int index) const { return m_pchData[index]; }

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Positions are byte offsets; -1 when not found.
    int Find(char ch) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;

    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    void MakeLower();                        // system code page
    void Replace(char from, char to);
    void TrimLeft(const char* chars);
    void TrimRight(const char* chars);

    // Loads a string-table text from the executable; false (and empty) when missing.
    bool LoadString(UINT id);
    // wsprintf-style formatting (%d, %02d, %s, ...); the result is at most 1,023 characters.
    void Format(const char* format, ...);

private:
    void Assign(const char* text, int length);
    void Append(const char* text, int length);

    char* m_pchData;
    int m_nLength;
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const char* right);
CString operator+(const char* left, const CString& right);
bool operator==(const CString& left, const char* right);
bool operator==(const CString& left, const CString& right);
bool operator!=(const CString& left, const char* right);

// The byte offset of the last ch in text, honouring double-byte characters; -1 if none.
int ReverseFindChar(const char* text, char ch);
// The byte offset of the first ch in text, honouring double-byte characters; -1 if none.
int FindChar(const char* text, char ch);
