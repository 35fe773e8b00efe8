// Test stand-in for the platform's "MPR.DLL": records the arguments of its password change to the file
// named by TESSALINE_MPR_RECORD, one line "<provider> <owner> <third> <fourth>".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD third, DWORD fourth)
{
    const char* path = std::getenv("TESSALINE_MPR_RECORD");
    if (path == nullptr)
        return 1;
    if (std::FILE* record = std::fopen(path, "w")) {
        std::fprintf(record, "%s %lu %lu %lu\n", provider ? provider : "(null)",
                     static_cast<unsigned long>(reinterpret_cast<uintptr_t>(owner)), third, fourth);
        std::fclose(record);
    }
    return 0;
}
