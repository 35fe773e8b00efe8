// Reads the compiled resources back from the test executable, which links them like the saver does.
#include "resources/resource_ids.h"
#include "settings/settings_dialog_ids.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const WORD EnglishUnitedStates = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

struct ResourceData {
    const BYTE* bytes;
    DWORD size;
};

ResourceData FindEnglishResource(LPCSTR type, LPCSTR name)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceExA(module, type, name, EnglishUnitedStates);
    if (resource == nullptr)
        return {nullptr, 0};
    return {static_cast<const BYTE*>(LockResource(LoadResource(module, resource))), SizeofResource(module, resource)};
}

// A little-endian reader over one resource, failing the test instead of reading past its end.
class ResourceReader {
public:
    explicit ResourceReader(ResourceData data) : data_(data) {}

    bool overran() const { return overran_; }

    uint32_t Read(std::size_t width)
    {
        if (offset_ + width > data_.size) {
            overran_ = true;
            return 0;
        }
        uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value |= static_cast<uint32_t>(data_.bytes[offset_ + i]) << (8 * i);
        offset_ += width;
        return value;
    }
    uint32_t Byte() { return Read(1); }
    uint32_t Word() { return Read(2); }
    uint32_t Dword() { return Read(4); }
    int32_t Short() { return static_cast<int16_t>(Read(2)); }

    // A null-terminated UTF-16 string of ASCII characters.
    std::string String()
    {
        std::string text;
        for (uint32_t c = Word(); c != 0 && !overran_; c = Word())
            text += static_cast<char>(c);
        return text;
    }

    // A name or an ordinal; the predefined control classes come as ordinals.
    std::string NameOrOrdinal()
    {
        if (Peek() != 0xFFFF)
            return String();
        Word();
        switch (uint32_t ordinal = Word()) {
        case 0x0080: return "BUTTON";
        case 0x0082: return "STATIC";
        default:     return "#" + std::to_string(ordinal);
        }
    }

    void AlignToDword() { offset_ = (offset_ + 3) & ~std::size_t(3); }

private:
    uint32_t Peek()
    {
        const std::size_t saved = offset_;
        const uint32_t value = Word();
        offset_ = saved;
        return value;
    }

    ResourceData data_;
    std::size_t offset_ = 0;
    bool overran_ = false;
};

struct ExpectedControl {
    int32_t id;
    const char* windowClass;
    const char* text;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    int32_t x, y, width, height;
};

constexpr DWORD Slider = TBS_HORZ | TBS_AUTOTICKS | TBS_BOTH | WS_TABSTOP;

const ExpectedControl SettingsControls[] = {
    {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 237, 10, 50, 14},
    {IDCANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, 237, 27, 50, 14},
    {1003, "msctls_trackbar32", "Slider1", Slider, 0, 38, 23, 150, 15},
    {-1, "BUTTON", "Simulation Speed", BS_GROUPBOX, 0, 10, 7, 213, 53},
    {-1, "STATIC", "Slow", SS_LEFT | WS_GROUP, WS_EX_RIGHT, 18, 26, 16, 8},
    {-1, "STATIC", "Fast", SS_LEFT | WS_GROUP, 0, 191, 26, 17, 8},
    {1005, "STATIC", "seconds per cycle", SS_RIGHT | WS_GROUP, 0, 103, 45, 105, 8},
    {1004, "msctls_trackbar32", "Slider1", Slider, 0, 38, 81, 150, 15},
    {-1, "BUTTON", "Seed Density", BS_GROUPBOX, 0, 10, 65, 213, 53},
    {-1, "STATIC", "Few", SS_LEFT | WS_GROUP, WS_EX_RIGHT, 18, 84, 14, 8},
    {-1, "STATIC", "Many", SS_LEFT | WS_GROUP, 0, 191, 84, 17, 8},
    {1006, "STATIC", "seeds in display", SS_RIGHT | WS_GROUP, 0, 103, 103, 105, 8},
    {1007, "msctls_trackbar32", "Slider1", Slider, 0, 38, 141, 150, 15},
    {-1, "BUTTON", "Seed Size", BS_GROUPBOX, 0, 10, 125, 213, 53},
    {-1, "STATIC", "Small", SS_LEFT | WS_GROUP, WS_EX_RIGHT, 18, 144, 18, 8},
    {-1, "STATIC", "Big", SS_LEFT | WS_GROUP, 0, 191, 144, 17, 8},
    {1008, "STATIC", "seed size", SS_RIGHT | WS_GROUP, 0, 103, 163, 105, 8},
    {1001, "BUTTON", "Antialias", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 185, 65, 10},
    {1009, "BUTTON", "Defaults", BS_PUSHBUTTON | WS_TABSTOP, 0, 237, 55, 50, 14},
};

void ExpectControl(ResourceReader& reader, const ExpectedControl& expected, int index)
{
    SCOPED_TRACE("control " + std::to_string(index + 1) + " \"" + expected.text + "\"");
    reader.AlignToDword();
    EXPECT_EQ(reader.Dword(), 0u) << "help id";
    EXPECT_EQ(reader.Dword(), expected.exStyle) << "extended style";
    EXPECT_EQ(reader.Dword(), WS_CHILD | WS_VISIBLE | expected.style) << "style";
    EXPECT_EQ(reader.Short(), expected.x);
    EXPECT_EQ(reader.Short(), expected.y);
    EXPECT_EQ(reader.Short(), expected.width);
    EXPECT_EQ(reader.Short(), expected.height);
    EXPECT_EQ(static_cast<int32_t>(reader.Dword()), expected.id) << "id";
    // The resource compiler stores class names upper-cased; the platform looks classes up ignoring case.
    EXPECT_STRCASEEQ(reader.NameOrOrdinal().c_str(), expected.windowClass) << "class";
    EXPECT_EQ(reader.NameOrOrdinal(), expected.text) << "text";
    EXPECT_EQ(reader.Word(), 0u) << "creation data";
}

}  // namespace

TEST(Resources, SettingsDialogTemplateIsTheExtendedTemplateOfTheTable)
{
    ResourceData data = FindEnglishResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_SETTINGS));
    ASSERT_NE(data.bytes, nullptr) << "dialog 2003 in English (United States)";
    ResourceReader reader(data);
    ASSERT_EQ(reader.Word(), 1u) << "template version";
    ASSERT_EQ(reader.Word(), 0xFFFFu) << "extended template signature";
    EXPECT_EQ(reader.Dword(), 0u) << "help id";
    EXPECT_EQ(reader.Dword(), 0u) << "extended style";
    EXPECT_EQ(reader.Dword(), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    const uint32_t controls = reader.Word();
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 294);
    EXPECT_EQ(reader.Short(), 202);
    EXPECT_EQ(reader.NameOrOrdinal(), "") << "menu";
    EXPECT_EQ(reader.NameOrOrdinal(), "") << "the system's dialog class";
    EXPECT_EQ(reader.String(), "Settings");
    EXPECT_EQ(reader.Word(), 8u) << "point size";
    EXPECT_EQ(reader.Word(), 0u) << "weight";
    EXPECT_EQ(reader.Byte(), 0u) << "italic";
    EXPECT_EQ(reader.Byte(), static_cast<uint32_t>(DEFAULT_CHARSET));
    EXPECT_EQ(reader.String(), "MS Sans Serif");

    ASSERT_EQ(controls, std::size(SettingsControls));
    for (std::size_t i = 0; i < std::size(SettingsControls); ++i)
        ExpectControl(reader, SettingsControls[i], static_cast<int>(i));
    EXPECT_FALSE(reader.overran()) << "the template ends before its controls do";
}

TEST(Resources, DescriptionStringIsEnglish)
{
    char text[64] = {};
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), IDS_DESCRIPTION, text, sizeof text), 25);
    EXPECT_STREQ(text, "Ketto's First Screensaver");
    // Strings live in blocks of sixteen: string 1 is in block 1.
    EXPECT_NE(FindEnglishResource(RT_STRING, MAKEINTRESOURCEA(IDS_DESCRIPTION / 16 + 1)).bytes, nullptr);
}

TEST(Resources, IconGroupHoldsFourEightBitImagesAndThereIsNoIcon100)
{
    ResourceData group = FindEnglishResource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_SAVER));
    ASSERT_NE(group.bytes, nullptr) << "icon group 106";
    ResourceReader reader(group);
    EXPECT_EQ(reader.Word(), 0u);
    EXPECT_EQ(reader.Word(), 1u) << "icon, not cursor";
    ASSERT_EQ(reader.Word(), 4u) << "images";
    const uint32_t sizes[] = {16, 24, 32, 48};
    for (uint32_t i = 0; i < 4; ++i) {
        SCOPED_TRACE("image of " + std::to_string(sizes[i]) + " pixels");
        EXPECT_EQ(reader.Byte(), sizes[i]) << "width";
        EXPECT_EQ(reader.Byte(), sizes[i]) << "height";
        EXPECT_EQ(reader.Byte(), 0u) << "colour count of a 256-colour image";
        reader.Byte();
        EXPECT_EQ(reader.Word(), 1u) << "planes";
        EXPECT_EQ(reader.Word(), 8u) << "bits per pixel";
        const uint32_t bytes = reader.Dword();
        const uint32_t id = reader.Word();
        EXPECT_EQ(id, i + 1) << "stored as icons 1 to 4";

        ResourceData image = FindEnglishResource(RT_ICON, MAKEINTRESOURCEA(id));
        ASSERT_NE(image.bytes, nullptr);
        EXPECT_EQ(image.size, bytes);
        ResourceReader header(image);
        EXPECT_EQ(header.Dword(), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(header.Dword(), sizes[i]);
        EXPECT_EQ(header.Dword(), 2 * sizes[i]) << "colour rows and mask";
        EXPECT_EQ(header.Word(), 1u);
        EXPECT_EQ(header.Word(), 8u);
        // The background, palette entry 0, is the saver's light grey.
        ASSERT_GT(image.size, 44u);
        EXPECT_EQ(image.bytes[40], 223);
        EXPECT_EQ(image.bytes[41], 223);
        EXPECT_EQ(image.bytes[42], 223);

        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.bytes), image.size, TRUE, 0x00030000,
                                              static_cast<int>(sizes[i]), static_cast<int>(sizes[i]), 0);
        EXPECT_NE(icon, nullptr) << "the platform accepts the image";
        DestroyIcon(icon);
    }
    EXPECT_FALSE(reader.overran());

    HMODULE module = GetModuleHandleA(nullptr);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(100), RT_GROUP_ICON), nullptr) << "no icon group 100";
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(100), RT_ICON), nullptr) << "no icon 100";
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(100)), nullptr);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_SAVER)), nullptr);
}

namespace {

std::string VersionString(const std::vector<BYTE>& info, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0)
        return "(missing)";
    return std::string(value, strnlen(value, length));
}

}  // namespace

// What the file's properties show, read through the version library from this program's file, which
// carries the saver's resources.
TEST(Resources, VersionResourceNamesTheSaverAndTheProjectVersion)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeA(path, &ignored));
    ASSERT_FALSE(info.empty()) << "no version resource";
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(info.size()), info.data()));

    EXPECT_EQ(VersionString(info, "FileDescription"), "Ketto's First Screensaver") << "the text of string 1";
    EXPECT_EQ(VersionString(info, "ProductName"), "Tessaline");
    EXPECT_EQ(VersionString(info, "FileVersion"), TESSALINE_EXPECTED_VERSION);
    EXPECT_EQ(VersionString(info, "ProductVersion"), TESSALINE_EXPECTED_VERSION);
    EXPECT_EQ(VersionString(info, "OriginalFilename"), "tessaline.scr");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%u.%u.%u", static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)));
    EXPECT_STREQ(numbers, TESSALINE_EXPECTED_VERSION);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    EXPECT_EQ(translation->language, EnglishUnitedStates);
    EXPECT_EQ(translation->codePage, 1252);
}

// The manifest is the one the loader reads (type 24, id 1) and this process runs under it: display
// scaling is the program's own, and the dialog's controls come from version 6 of the common controls.
TEST(Resources, ManifestMakesTheProcessAwareOfScalingWithCommonControls6)
{
    const ResourceData manifest = FindEnglishResource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_NE(manifest.bytes, nullptr) << "manifest resource 1";
    const std::string text(reinterpret_cast<const char*>(manifest.bytes), manifest.size);
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find(">PerMonitorV2, PerMonitor<"), std::string::npos);
    EXPECT_NE(text.find(">true/pm<"), std::string::npos);
    EXPECT_NE(text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos) << "Windows 10 and 11";
    EXPECT_NE(text.find("{e2011457-1546-43c5-a5fe-008deee3d3f0}"), std::string::npos) << "Vista";
    EXPECT_EQ(text.find("<trustInfo"), std::string::npos) << "XP before Service Pack 3 rejects it";

    EXPECT_TRUE(IsProcessDPIAware());
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()), DPI_AWARENESS_PER_MONITOR_AWARE);

    // Bound through the manifest, the library comes from the side-by-side store, not the system folder.
    InitCommonControls();
    HMODULE commonControls = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(commonControls, nullptr);
    char library[MAX_PATH] = "";
    GetModuleFileNameA(commonControls, library, sizeof library);
    std::string lower = library;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(lower.find("\\winsxs\\"), std::string::npos) << library;
    EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << library;
}
