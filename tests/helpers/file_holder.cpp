// file_holder PATH [READY_FILE]: opens PATH without sharing (no one else may read,
// write, delete or move it) and holds it until it is terminated. Writes READY_FILE
// once the file is held, so a test can wait for that.
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    HANDLE held = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    if (argc >= 3) {
        HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    }
    Sleep(INFINITE);
    return 0;
}
