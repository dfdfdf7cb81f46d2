#include "dword_array.h"

#include <stdlib.h>
#include <string.h>

CDWordArray::~CDWordArray() { free(m_pData); }

void CDWordArray::SetSize(int size)
{
    if (size < 0) size = 0;
    if (size == 0) {
        free(m_pData);
        m_pData = nullptr;
        m_nSize = 0;
        return;
    }
    DWORD* data = static_cast<DWORD*>(realloc(m_pData, sizeof(DWORD) * size));
    if (!data) FatalAppExitA(0, "Out of memory");
    if (size > m_nSize) memset(data + m_nSize, 0, sizeof(DWORD) * (size - m_nSize));
    m_pData = data;
    m_nSize = size;
}

int CDWordArray::Add(DWORD value)
{
    SetSize(m_nSize + 1);
    m_pData[m_nSize - 1] = value;
    return m_nSize - 1;
}
