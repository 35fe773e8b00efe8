#include "host/exception_guard.h"
#include "support/emulation.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr char DebuggerKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
constexpr DWORD RunTimeout = 30000;
constexpr DWORD StillRunning = 0xFFFFFFFF;

std::string Directory()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

// Keeps Wine from starting its crash debugger for the test program's faults; puts the old setting back.
class NoCrashDebugger {
public:
    NoCrashDebugger()
    {
        RegCreateKeyA(HKEY_LOCAL_MACHINE, DebuggerKey, &key_);
        DWORD size = sizeof saved_;
        hadDebugger_ = RegQueryValueExA(key_, "Debugger", nullptr, nullptr, reinterpret_cast<BYTE*>(saved_),
                                        &size) == ERROR_SUCCESS;
        SetValue("Debugger", "tessaline-no-such-debugger.exe");
        SetValue("Auto", "1");
    }
    ~NoCrashDebugger()
    {
        if (hadDebugger_)
            SetValue("Debugger", saved_);
        else
            RegDeleteValueA(key_, "Debugger");
        RegCloseKey(key_);
    }

private:
    void SetValue(const char* name, const char* text)
    {
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), lstrlenA(text) + 1);
    }
    HKEY key_ = nullptr;
    char saved_[MAX_PATH] = "";
    bool hadDebugger_ = false;
};

struct GuardedRun {
    DWORD exitCode = StillRunning;
    std::string record;  // the program's calls of SetScreenSaverRunning
};

GuardedRun RunFaultProgram(const std::string& how)
{
    GuardedRun run;
    const std::string recordPath = Directory() + "fault_under_guard." + how + ".txt";
    DeleteFileA(recordPath.c_str());
    std::string commandLine = "\"" + Directory() + "fault_under_guard.exe\" " + how + " \"" + recordPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return run;
    if (WaitForSingleObject(process.hProcess, RunTimeout) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &run.exitCode);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream file(recordPath);
    std::stringstream text;
    text << file.rdbuf();
    run.record = text.str();
    return run;
}

}  // namespace

// The exit code is the exception's code: an error status, never the mode's result.
TEST(ExceptionGuard, AFaultEndsTheProcessThroughTheHandler)
{
    NoCrashDebugger noDebugger;
    for (const char* how : {"direct", "loop", "create"}) {
        const GuardedRun run = RunFaultProgram(how);
        EXPECT_NE(run.exitCode, StillRunning) << how << ": the program did not end";
        EXPECT_EQ(run.exitCode & 0xC0000000u, 0xC0000000u) << how << ": exit code 0x" << std::hex << run.exitCode;
        EXPECT_EQ(run.record, "running 0\n") << how << ": screen-saver-running must be switched off once";
    }
}

TEST(ExceptionGuard, AnAccessViolationEndsWithItsOwnCode)
{
    SKIP_UNDER_EMULATION("the emulator raises the fault without the processor's trap number, so Wine "
                         "reports it as an illegal instruction");
    NoCrashDebugger noDebugger;
    EXPECT_EQ(RunFaultProgram("direct").exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

// A fault that a debugger (here the filter in place before the guard) repairs is no fault of the run's.
TEST(ExceptionGuard, WithoutAFaultOrAfterARepairTheModeReturnsAndTheFilterIsRestored)
{
    for (const char* how : {"none", "repaired"}) {
        const GuardedRun run = RunFaultProgram(how);
        EXPECT_EQ(run.exitCode, 7u) << how << ": 97: the repaired write never happened; 98: the previous filter "
                                       "was not restored; 99: the mode's result was lost";
        EXPECT_EQ(run.record, "") << how << ": the handler ran";
    }
}
