// Test helper: starts the saver the way the system starts it and looks at its windows from outside.
//   saver_probe preview <scr> [<width> <height> <ms>]
//                                    a parent (320x240, or with a client area of width x height), then
//                                    "<scr> /p <parent>"; the saver's child must fill the parent's client
//                                    area and the saver must exit when the parent is destroyed. With a size
//                                    the parent stays up for ms milliseconds first, after a line
//                                    "client x y width height" with its client area in screen pixels
//   saver_probe preview-race <scr>   the parent is destroyed right after "<scr> /p <parent>" starts, and
//                                    again as soon as the saver's child exists, while it is still being
//                                    created: the saver must end without a fault, with any exit code
//   saver_probe owner <scr>          a window, then "<scr> /c:<window>"; the dialog must be owned by it;
//                                    it is cancelled
//   saver_probe wait <title> <ms>    waits for a top-level window of that title and for its process to
//                                    wait for input, its window created; prints x y width height
//   saver_probe run <scr> <tail>     starts "<scr>" followed by a blank and the tail, byte for byte
//   saver_probe settings {<name> sz|binary|dword <hex bytes>}...
//                                    replaces the settings key by one holding exactly these values, as
//                                    another writer could store them ("-" for no bytes)
//   saver_probe dialog               the control values of the open settings dialog, once it has been
//                                    filled in: "Tempo <n> Density <n> Size <n> Antialias <0|1>"
//   saver_probe screen-saver-running whether the system was told that a screen saver runs: "running <0|1>"
//   saver_probe hold <file> <ms>     keeps the file open, shared with nobody, for ms milliseconds, after a
//                                    line "held": as Windows 9x keeps a running program's file
//   saver_probe click <title> <text> clicks the button of that text, once it is shown and enabled, in a
//                                    window whose title begins with that title, after a line "says
//                                    <text>" for each static text there (a message box's message, say)
//   saver_probe limited <program> <tail>
//                                    starts the program with the tail, as run starts it, but with the
//                                    limited token of an administrator whom UAC has not elevated
// Each prints what it saw and "exit <code>" of the saver; the probe's own exit code is 0 when all held.
#include "settings/settings_dialog_ids.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char SaverClass[] = "WindowsScreenSaverClass";
constexpr DWORD WaitLimit = 20000;
constexpr DWORD PollStep = 50;
constexpr int Failed = 1;
constexpr int RaceRounds = 4;
constexpr char SettingsKey[] = "Software\\Tessaline";

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// Waits, pumping messages, until find() gives a window or the limit passes.
template <typename Find>
HWND WaitFor(Find find, DWORD limit)
{
    for (DWORD waited = 0; waited < limit; waited += PollStep) {
        PumpMessages();
        if (HWND window = find())
            return window;
        Sleep(PollStep);
    }
    return nullptr;
}

// True once the process waits for input with nothing queued: its window creation has ended and
// its message loop runs. Destroying a parent or reading controls before then races the creation.
bool WaitUntilIdle(HANDLE process)
{
    return WaitForInputIdle(process, WaitLimit) == 0;
}

// The same for the process of a window. A window of a process that has just ended can still be
// found for a moment; it counts as not idle.
bool WaitUntilIdle(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process == nullptr)
        return false;
    const bool idle = WaitForSingleObject(process, 0) == WAIT_TIMEOUT && WaitUntilIdle(process);
    CloseHandle(process);
    return idle;
}

// Waits until find() gives a window whose process waits for input, or the limit passes.
template <typename Find>
HWND WaitForIdleWindow(Find find, DWORD limit)
{
    const DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < limit; waited = GetTickCount() - start) {
        HWND window = WaitFor(find, limit - waited);
        if (window != nullptr && WaitUntilIdle(window))
            return window;
        Sleep(PollStep);
    }
    return nullptr;
}

// The top-level window of that class and title that the process made; another process's, one that
// has just ended say, does not count.
HWND FindWindowOfProcess(const char* className, const char* title, DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, title)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

HWND CreateTestWindow(const char* title)
{
    return CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 240, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A bordered parent with a client area of exactly width x height, like the monitor picture of the
// display control panel. Its own class: a static control would paint over the saver's child.
HWND CreateSizedParent(int width, int height)
{
    constexpr char ParentClass[] = "TessalinePreviewParent";
    constexpr DWORD Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_VISIBLE;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = ParentClass;
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, Style, FALSE, 0);
    return CreateWindowExA(0, ParentClass, "preview parent", Style, 40, 40, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, windowClass.hInstance, nullptr);
}

void PrintClientOnScreen(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    std::printf("client %ld %ld %ld %ld\n", client.left, client.top, client.right - client.left,
                client.bottom - client.top);
}

void PumpFor(DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += PollStep) {
        PumpMessages();
        Sleep(PollStep);
    }
}

std::string Decimal(HWND window)
{
    return std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
}

bool StartSaver(const char* scr, const std::string& arguments, PROCESS_INFORMATION& process)
{
    std::string commandLine = std::string("\"") + scr + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process);
}

void CloseProcess(PROCESS_INFORMATION& process)
{
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Pumps messages until the saver ends; prints and returns its exit code, none when it did not end.
std::optional<DWORD> WaitForExit(PROCESS_INFORMATION& process)
{
    for (DWORD waited = 0; waited < WaitLimit; waited += PollStep) {
        PumpMessages();
        if (WaitForSingleObject(process.hProcess, PollStep) == WAIT_OBJECT_0) {
            DWORD exitCode = 0;
            GetExitCodeProcess(process.hProcess, &exitCode);
            std::printf("exit %lu\n", exitCode);
            return exitCode;
        }
    }
    std::printf("saver still running\n");
    TerminateProcess(process.hProcess, 1);
    return std::nullopt;
}

// An exception's status code (0xC0000005 for an access violation), which the guard ends the saver with;
// -1 is 0xFFFFFFFF.
bool IsFaultCode(DWORD exitCode)
{
    return (exitCode & 0xF0000000) == 0xC0000000;
}

HWND PreviewChildOf(HWND parent)
{
    return FindWindowExA(parent, nullptr, SaverClass, "Preview");
}

// A hold of 0 checks the preview and ends it at once; a longer hold leaves it on screen meanwhile.
int ProbePreview(HWND parent, const char* scr, DWORD hold)
{
    PROCESS_INFORMATION process = {};
    if (!StartSaver(scr, "/p " + Decimal(parent), process))
        return Failed;
    HWND child = WaitFor([&] { return PreviewChildOf(parent); }, WaitLimit);
    if (child == nullptr || !WaitUntilIdle(process.hProcess)) {
        std::printf(child == nullptr ? "no preview child\n" : "the saver never waited for input\n");
        TerminateProcess(process.hProcess, 1);
        return Failed;
    }
    RECT client, childRect;
    GetClientRect(parent, &client);
    GetWindowRect(child, &childRect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&childRect), 2);
    std::printf("parent client %ld %ld, child %ld %ld %ld %ld\n", client.right, client.bottom, childRect.left,
                childRect.top, childRect.right - childRect.left, childRect.bottom - childRect.top);
    const bool fills = childRect.left == 0 && childRect.top == 0 && childRect.right == client.right &&
                       childRect.bottom == client.bottom;
    if (hold > 0) {
        PrintClientOnScreen(parent);
        PumpFor(hold);
    }
    DestroyWindow(parent);
    return fills && WaitForExit(process) == 0 ? 0 : Failed;
}

int ProbePreviewRace(const char* scr)
{
    int result = 0;
    for (int round = 0; round < RaceRounds; ++round) {
        for (const bool duringCreation : {false, true}) {
            HWND parent = CreateTestWindow("preview parent");
            PROCESS_INFORMATION process = {};
            if (!StartSaver(scr, "/p " + Decimal(parent), process))
                return Failed;
            if (duringCreation)
                WaitFor([&] { return PreviewChildOf(parent); }, WaitLimit);
            DestroyWindow(parent);
            std::printf("%s: ", duringCreation ? "during creation" : "at the start");
            const std::optional<DWORD> exitCode = WaitForExit(process);
            if (!exitCode || IsFaultCode(*exitCode))
                result = Failed;
            CloseProcess(process);
        }
    }
    return result;
}

int ProbeOwner(const char* scr)
{
    HWND owner = CreateTestWindow("dialog owner");
    PROCESS_INFORMATION process = {};
    if (!StartSaver(scr, "/c:" + Decimal(owner), process))
        return Failed;
    HWND dialog = WaitFor([&] { return FindWindowOfProcess("#32770", "Settings", process.dwProcessId); }, WaitLimit);
    if (dialog == nullptr) {
        std::printf("no dialog\n");
        TerminateProcess(process.hProcess, 1);
        return Failed;
    }
    const bool owned = GetWindow(dialog, GW_OWNER) == owner;
    std::printf("owned by the given window: %s\n", owned ? "yes" : "no");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return owned && WaitForExit(process) == 0 ? 0 : Failed;
}

int ProbeWait(const char* title, DWORD limit)
{
    HWND window = WaitForIdleWindow([&] { return FindWindowA(nullptr, title); }, limit);
    if (window == nullptr)
        return Failed;
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}

int ProbeRun(const char* scr, const char* tail)
{
    PROCESS_INFORMATION process = {};
    if (!StartSaver(scr, tail, process))
        return Failed;
    WaitForExit(process);
    return 0;
}

struct ButtonSearch {
    const char* text;
    HWND button;
};

BOOL CALLBACK FindButton(HWND child, LPARAM lParam)
{
    auto* search = reinterpret_cast<ButtonSearch*>(lParam);
    char className[16] = "", text[256] = "";
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(className, "Button") == 0 && std::strcmp(text, search->text) == 0 && IsWindowVisible(child) &&
        IsWindowEnabled(child))
        search->button = child;
    return search->button == nullptr;
}

BOOL CALLBACK PrintStaticText(HWND child, LPARAM)
{
    char className[16] = "", text[512] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
        std::printf("says %s\n", text);
    return TRUE;
}

// The button in any top-level window whose title begins with that title: a setup program's message
// boxes have its caption without the blank that ends it.
HWND ButtonIn(const char* title, const char* text)
{
    ButtonSearch search = {text, nullptr};
    HWND window = nullptr;
    while (search.button == nullptr && (window = FindWindowExA(nullptr, window, nullptr, nullptr)) != nullptr) {
        char caption[256] = "";
        GetWindowTextA(window, caption, sizeof caption);
        if (std::strncmp(caption, title, std::strlen(title)) == 0)
            EnumChildWindows(window, FindButton, reinterpret_cast<LPARAM>(&search));
    }
    return search.button;
}

int ProbeClick(const char* title, const char* text)
{
    HWND button = WaitFor([&] { return ButtonIn(title, text); }, WaitLimit);
    if (button == nullptr) {
        std::printf("no button %s\n", text);
        return Failed;
    }
    EnumChildWindows(GetParent(button), PrintStaticText, 0);
    PostMessageA(button, BM_CLICK, 0, 0);
    return 0;
}

// The process's token is an elevated administrator's; the token linked to it is the same user's
// limited one, as UAC gives to programs that the user starts.
int ProbeLimited(const char* program, const char* tail)
{
    HANDLE token = nullptr, linked = nullptr, limited = nullptr;
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) ||
        !GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &size) ||
        !DuplicateTokenEx(linked, TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary, &limited)) {
        std::printf("no limited token: error %lu\n", GetLastError());
        return Failed;
    }
    std::string commandLine = std::string("\"") + program + "\" " + tail;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessAsUserA(limited, nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process))
        return Failed;
    WaitForExit(process);
    return 0;
}

DWORD RegistryType(const char* name)
{
    if (std::strcmp(name, "sz") == 0)
        return REG_SZ;
    if (std::strcmp(name, "binary") == 0)
        return REG_BINARY;
    return REG_DWORD;
}

std::vector<BYTE> HexBytes(const char* hex)
{
    std::vector<BYTE> bytes;
    if (std::strcmp(hex, "-") == 0)
        return bytes;
    for (const char* digit = hex; digit[0] != '\0' && digit[1] != '\0'; digit += 2) {
        const char pair[3] = {digit[0], digit[1], '\0'};
        bytes.push_back(static_cast<BYTE>(std::strtoul(pair, nullptr, 16)));
    }
    return bytes;
}

int ProbeSettings(int count, char** triples)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return Failed;
    int result = 0;
    for (int i = 0; i + 2 < count; i += 3) {
        const std::vector<BYTE> data = HexBytes(triples[i + 2]);
        if (RegSetValueExA(key, triples[i], 0, RegistryType(triples[i + 1]), data.data(),
                           static_cast<DWORD>(data.size())) != ERROR_SUCCESS) {
            std::printf("could not store %s\n", triples[i]);
            result = Failed;
        }
    }
    RegCloseKey(key);
    return result;
}

int ProbeDialog()
{
    HWND dialog = WaitForIdleWindow([] { return FindWindowA("#32770", "Settings"); }, WaitLimit);
    if (dialog == nullptr) {
        std::printf("no dialog that waits for input\n");
        return Failed;
    }
    auto position = [&](int id) { return SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0); };
    std::printf("Tempo %ld Density %ld Size %ld Antialias %ld\n", static_cast<long>(position(IDC_TEMPO_SLIDER)),
                static_cast<long>(position(IDC_DENSITY_SLIDER)), static_cast<long>(position(IDC_SIZE_SLIDER)),
                static_cast<long>(SendDlgItemMessageA(dialog, IDC_ANTIALIAS, BM_GETCHECK, 0, 0)));
    return 0;
}

int ProbeScreenSaverRunning()
{
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    std::printf("running %d\n", running ? 1 : 0);
    return 0;
}

int ProbeHold(const char* path, DWORD milliseconds)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Failed;
    std::printf("held\n");
    Sleep(milliseconds);
    CloseHandle(file);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 3 && std::strcmp(argv[1], "preview") == 0)
        return ProbePreview(CreateTestWindow("preview parent"), argv[2], 0);
    if (argc == 6 && std::strcmp(argv[1], "preview") == 0)
        return ProbePreview(CreateSizedParent(std::atoi(argv[3]), std::atoi(argv[4])), argv[2],
                            static_cast<DWORD>(std::atoi(argv[5])));
    if (argc == 3 && std::strcmp(argv[1], "preview-race") == 0)
        return ProbePreviewRace(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "owner") == 0)
        return ProbeOwner(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "wait") == 0)
        return ProbeWait(argv[2], static_cast<DWORD>(std::atoi(argv[3])));
    if (argc == 4 && std::strcmp(argv[1], "run") == 0)
        return ProbeRun(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "click") == 0)
        return ProbeClick(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "limited") == 0)
        return ProbeLimited(argv[2], argv[3]);
    if (argc >= 2 && std::strcmp(argv[1], "settings") == 0)
        return ProbeSettings(argc - 2, argv + 2);
    if (argc == 2 && std::strcmp(argv[1], "dialog") == 0)
        return ProbeDialog();
    if (argc == 2 && std::strcmp(argv[1], "screen-saver-running") == 0)
        return ProbeScreenSaverRunning();
    if (argc == 4 && std::strcmp(argv[1], "hold") == 0)
        return ProbeHold(argv[2], static_cast<DWORD>(std::atoi(argv[3])));
    std::printf("usage: saver_probe preview <scr> [<width> <height> <ms>] | preview-race <scr> | owner <scr> |"
                " wait <title> <ms> |"
                " run <scr> <tail> | settings ... | dialog | screen-saver-running | hold <file> <ms> |"
                " click <title> <text> | limited <program> <tail>\n");
    return 2;
}
