#pragma once
// A test's own library in the place of a system library: in the system folder, where the saver loads
// it from (a 32-bit program's System32 is SysWOW64 in a 64-bit prefix). Wine takes a library of a name
// that it has a builtin for from there only in a process started with a native override. What was
// there before comes back afterwards.
#include <windows.h>

#include <string>

class SystemLibraryStandIn {
public:
    SystemLibraryStandIn(const std::string& standIn, const char* name)
    {
        char folder[MAX_PATH] = "";
        GetSystemDirectoryA(folder, MAX_PATH);
        path_ = std::string(folder) + "\\" + name;
        saved_ = path_ + ".tessaline-saved";
        hadOne_ = MoveFileExA(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        installed_ = CopyFileA(standIn.c_str(), path_.c_str(), FALSE) != FALSE;
    }
    ~SystemLibraryStandIn()
    {
        DeleteFileA(path_.c_str());
        if (hadOne_)
            MoveFileA(saved_.c_str(), path_.c_str());
    }
    SystemLibraryStandIn(const SystemLibraryStandIn&) = delete;
    SystemLibraryStandIn& operator=(const SystemLibraryStandIn&) = delete;

    bool installed() const { return installed_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string saved_;
    bool hadOne_ = false;
    bool installed_ = false;
};

// The full path that a loaded module was loaded from.
inline std::string ModulePath(HMODULE module)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}
