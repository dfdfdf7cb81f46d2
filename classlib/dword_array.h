// CDWordArray: a growable array of 32-bit words.
#pragma once

#include <windows.h>

class CDWordArray {
public:
    CDWordArray() = default;
    ~CDWordArray();
    CDWordArray(const CDWordArray&) = delete;
    CDWordArray& operator=(const CDWordArray&) = delete;

    int GetSize() const { return m_nSize; }
    // Resizes, keeping the words that remain; new words are 0.
    void SetSize(int size);
    DWORD GetAt(int index) const { return m_pData[index]; }
    void SetAt(int index, DWORD value) { m_pData[index] = value; }
    DWORD operator[](int index) const { return m_pData[index]; }
    DWORD& operator[](int index) { return m_pData[index]; }
    int Add(DWORD value);

private:
    DWORD* m_pData = nullptr;
    int m_nSize = 0;
};
