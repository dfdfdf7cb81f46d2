#include "cstring.h"
#include "winapp.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

namespace {
char g_chNil = 0;  // shared by every empty string; never written

bool IsBlankIn(char ch, const char* chars) { return ch != 0 && strchr(chars, ch) != nullptr; }
}  // namespace

int FindChar(const char* text, char ch)
{
    for (const char* p = text; *p; p = CharNextA(p))
        if (*p == ch) return static_cast<int>(p - text);
    return -1;
}

int ReverseFindChar(const char* text, char ch)
{
    int found = -1;
    for (const char* p = text; *p; p = CharNextA(p))
        if (*p == ch) found = static_cast<int>(p - text);
    return found;
}

CString::CString() : m_pchData(&g_chNil), m_nLength(0) {}
CString::CString(const char* text) : CString() { if (text) Assign(text, static_cast<int>(strlen(text))); }
CString::CString(const char* text, int length) : CString() { Assign(text, length); }
CString::CString(const CString& other) : CString() { Assign(other.m_pchData, other.m_nLength); }
CString::CString(CString&& other) noexcept : m_pchData(other.m_pchData), m_nLength(other.m_nLength)
{
    other.m_pchData = &g_chNil;
    other.m_nLength = 0;
}
CString::~CString() { Empty(); }

void CString::Empty()
{
    if (m_pchData != &g_chNil) free(m_pchData);
    m_pchData = &g_chNil;
    m_nLength = 0;
}

// Out of memory ends the process: a string that silently lost its text could
// name the wrong file.
static char* AllocOrDie(size_t bytes)
{
    char* p = static_cast<char*>(malloc(bytes));
    if (!p) FatalAppExitA(0, "Out of memory");
    return p;
}

void CString::Assign(const char* text, int length)
{
    if (length <= 0) { Empty(); return; }
    char* data = AllocOrDie(static_cast<size_t>(length) + 1);
    memcpy(data, text, length);
    data[length] = 0;
    Empty();
    m_pchData = data;
    m_nLength = length;
}

void CString::Append(const char* text, int length)
{
    if (length <= 0) return;
    char* data = AllocOrDie(static_cast<size_t>(m_nLength) + length + 1);
    memcpy(data, m_pchData, m_nLength);
    memcpy(data + m_nLength, text, length);
    data[m_nLength + length] = 0;
    int total = m_nLength + length;
    Empty();
    m_pchData = data;
    m_nLength = total;
}

CString& CString::operator=(const CString& other)
{
    if (this != &other) Assign(other.m_pchData, other.m_nLength);
    return *this;
}
CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        Empty();
        m_pchData = other.m_pchData;
        m_nLength = other.m_nLength;
        other.m_pchData = &g_chNil;
        other.m_nLength = 0;
    }
    return *this;
}
CString& CString::operator=(const char* text)
{
    CString copy(text);  // text may point into this string
    return *this = static_cast<CString&&>(copy);
}
CString& CString::operator+=(const CString& other)
{
    CString copy(other);
    Append(copy.m_pchData, copy.m_nLength);
    return *this;
}
CString& CString::operator+=(const char* text) { return *this += CString(text); }
CString& CString::operator+=(char ch) { Append(&ch, 1); return *this; }

CString CString::Left(int count) const
{
    if (count < 0) count = 0;
    return CString(m_pchData, count < m_nLength ? count : m_nLength);
}
CString CString::Mid(int first) const { return Mid(first, m_nLength); }
CString CString::Mid(int first, int count) const
{
    if (first < 0) first = 0;
    if (first >= m_nLength || count <= 0) return CString();
    if (count > m_nLength - first) count = m_nLength - first;
    return CString(m_pchData + first, count);
}
CString CString::Right(int count) const
{
    if (count < 0) count = 0;
    if (count > m_nLength) count = m_nLength;
    return CString(m_pchData + m_nLength - count, count);
}

int CString::Find(char ch) const { return FindChar(m_pchData, ch); }
int CString::Find(const char* sub, int start) const
{
    if (start < 0 || start > m_nLength) return -1;
    const char* p = strstr(m_pchData + start, sub);
    return p ? static_cast<int>(p - m_pchData) : -1;
}
int CString::ReverseFind(char ch) const { return ReverseFindChar(m_pchData, ch); }

int CString::Compare(const char* text) const { return strcmp(m_pchData, text); }
int CString::CompareNoCase(const char* text) const { return lstrcmpiA(m_pchData, text); }

void CString::MakeLower()
{
    if (m_nLength) CharLowerBuffA(m_pchData, static_cast<DWORD>(m_nLength));
}

void CString::Replace(char from, char to)
{
    for (char* p = m_pchData; *p; p = CharNextA(p))
        if (*p == from) *p = to;
}

void CString::TrimLeft(const char* chars)
{
    int skip = 0;
    while (skip < m_nLength && IsBlankIn(m_pchData[skip], chars)) ++skip;
    if (skip) *this = Mid(skip);
}

void CString::TrimRight(const char* chars)
{
    int keep = m_nLength;
    while (keep > 0 && IsBlankIn(m_pchData[keep - 1], chars)) --keep;
    if (keep != m_nLength) *this = Left(keep);
}

bool CString::LoadString(UINT id)
{
    char buffer[1024];
    int length = ::LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    Assign(buffer, length);
    return length > 0;
}

void CString::Format(const char* format, ...)
{
    char buffer[1025];  // wvsprintf writes at most 1,024 bytes
    va_list args;
    va_start(args, format);
    int length = wvsprintfA(buffer, format, args);
    va_end(args);
    Assign(buffer, length);
}

CString operator+(const CString& left, const CString& right) { CString s(left); s += right; return s; }
CString operator+(const CString& left, const char* right) { CString s(left); s += right; return s; }
CString operator+(const char* left, const CString& right) { CString s(left); s += right; return s; }
bool operator==(const CString& left, const char* right) { return left.Compare(right) == 0; }
bool operator==(const CString& left, const CString& right) { return left.Compare(right) == 0; }
bool operator!=(const CString& left, const char* right) { return left.Compare(right) != 0; }
