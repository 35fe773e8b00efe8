// A "PASSWORD.CPL" that lacks the verify entry, as a broken or foreign library of that name would.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
