// The full-screen saver with a huge stored Density while memory runs out: the real saver window, its
// procedure chain and message loop under Wine, with the seed field's allocations limited.
#include "engine/growable_array.h"
#include "engine/saver_procedure.h"
#include "engine/saver_state.h"
#include "engine/seed.h"
#include "settings_registry.h"
#include "support/host_test_support.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t HugeDensity = 4294967295u;
constexpr int64_t AllocationsLeft = 4;  // the field reaches at most 16 << 3 = 128 seeds
constexpr uint32_t LargestCapacity = 16u << (AllocationsLeft - 1);
constexpr int TicksToFill = 600;
constexpr int TicksAtCapacity = 300;
constexpr Rgb Background{223, 223, 223};

void Ticks(HWND saver, int count)
{
    for (int i = 0; i < count; ++i)
        SendMessageA(saver, WM_TIMER, FrameTimerId, 0);
}

int ScreenWidth()
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int ScreenHeight()
{
    return GetSystemMetrics(SM_CYSCREEN);
}

// Pixels around the centre of the screen that are not the background: every seed is still there.
int SeedPixelsAtTheCentre(HWND saver)
{
    const int width = ScreenWidth();
    const int height = ScreenHeight();
    const std::vector<Rgb> screen = CaptureClient(saver, width, height);
    int seeds = 0;
    for (int y = height / 2 - 8; y < height / 2 + 8; ++y)
        for (int x = width / 2 - 8; x < width / 2 + 8; ++x)
            seeds += screen[static_cast<size_t>(y) * width + x] != Background;
    return seeds;
}

class SaverMemory : public SettingsKeyTest {
protected:
    void SetUp() override
    {
        SettingsKeyTest::SetUp();
        ResetHostState(FALSE);
    }
    void TearDown() override
    {
        SetAllocationLimit(UnlimitedAllocations);
        DispatchPending();
        UnregisterClassA(SaverClassName, GetModuleHandleA(nullptr));
        ResetHostState(FALSE);
        SettingsKeyTest::TearDown();
    }
};

}  // namespace

TEST_F(SaverMemory, HugeDensityStopsGrowingAtCapacityAndStillDrawsAndCloses)
{
    WriteDword("Density", HugeDensity);
    seedField.clear();
    ASSERT_EQ(seedField.capacity(), 0u) << "a fresh process has an empty field";
    SetAllocationLimit(AllocationsLeft);

    uint32_t capacity = 0;
    int32_t oldestAge = 0;
    HWND seen = nullptr;
    const int32_t exitCode = RunSaverWithSteps(nullptr, {
        [&](HWND saver) {
            seen = saver;
            ASSERT_EQ(currentSettings.Density, HugeDensity) << "the stored Density is taken as it is";
            Ticks(saver, TicksToFill);
            capacity = seedField.capacity();
            EXPECT_GE(capacity, 16u) << "the field never grew";
            EXPECT_LE(capacity, LargestCapacity) << "the field grew past the allocation limit";
            EXPECT_EQ(seedField.size(), capacity) << "the field stopped short of its capacity";
            ASSERT_GT(seedField.size(), 0u);
            oldestAge = seedField[0].age();
        },
        [&](HWND saver) {
            Ticks(saver, TicksAtCapacity);
            EXPECT_EQ(seedField.capacity(), capacity) << "the field grew without memory";
            EXPECT_EQ(seedField.size(), capacity) << "a full field lost seeds";
            ASSERT_GT(seedField.size(), 0u);
            EXPECT_GE(seedField[0].age(), oldestAge + TicksAtCapacity) << "frames stopped advancing the seeds";
            // At this density every seed is still within a pixel of the centre, on the grey background.
            EXPECT_GT(SeedPixelsAtTheCentre(saver), 0) << "the frame shows no seed";
            const std::vector<Rgb> corner = CaptureClient(saver, 4, 4);
            EXPECT_EQ(corner[0], Background) << "the frame is not drawn on the grey background";
        },
        [&](HWND saver) {
            SendMessageA(saver, WM_KEYDOWN, VK_SPACE, 0);
            MSG close;
            EXPECT_TRUE(PeekMessageA(&close, saver, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "a key press closes";
        },
    });
    EXPECT_EQ(exitCode, 0) << "the key press ended the run normally";
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen)) << "the key press destroyed the saver window";
}
