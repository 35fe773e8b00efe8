#include "host/system_library.h"

#include <cstring>

HMODULE LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    const std::size_t nameLength = std::strlen(name);
    // The folder ends with a backslash only when it is a drive's root.
    if (length == 0 || length + 1 + nameLength >= sizeof path)
        return nullptr;
    if (path[length - 1] != '\\')
        path[length++] = '\\';
    std::memcpy(path + length, name, nameLength + 1);
    return LoadLibraryA(path);
}
