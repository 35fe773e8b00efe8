#pragma once
// Runs the current test case again in a child process of the same program, for what a process only
// takes in when it starts: Wine's DLL overrides, or the Windows version Wine reports for it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// This program's full path.
inline std::string ProgramPath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

inline std::string ProgramDirectory()
{
    const std::string path = ProgramPath();
    return path.substr(0, path.find_last_of('\\'));
}

// Wine's settings for this program alone, which a process of it reads when it starts: the key under
// HKEY_CURRENT_USER, or its subkey of that name ("DllOverrides").
inline std::string WineAppDefaultsKey(const std::string& subkey = "")
{
    const std::string path = ProgramPath();
    const std::string key = "Software\\Wine\\AppDefaults\\" + path.substr(path.find_last_of('\\') + 1);
    return subkey.empty() ? key : key + "\\" + subkey;
}

// Stores one text value there; false when the key cannot be created.
inline bool SetWineAppDefault(const std::string& subkey, const char* name, const std::string& value)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, WineAppDefaultsKey(subkey).c_str(), &key) != ERROR_SUCCESS)
        return false;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return true;
}

// True in the child, where the environment variable marker is set. In the parent: runs the case
// in a child with the marker set, expects it to pass, and returns false.
inline bool InChildProcess(const char* marker)
{
    if (GetEnvironmentVariableA(marker, nullptr, 0) != 0)
        return true;
    const std::string program = ProgramPath();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string commandLine = "\"" + program + "\" --gtest_filter=" + test->test_suite_name() + "." + test->name();
    SetEnvironmentVariableA(marker, "1");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    const BOOL started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &child);
    SetEnvironmentVariableA(marker, nullptr);
    if (!started) {
        ADD_FAILURE() << "the child process did not start";
        return false;
    }
    WaitForSingleObject(child.hProcess, 90000);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    EXPECT_EQ(exitCode, 0u) << "the case failed in the child process";
    return false;
}
