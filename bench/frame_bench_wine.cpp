// Frame cost in a real 1024 x 768 WGL window, buffer swap included, with the three floors on the same
// settled field. Prints one JSON object per case, as the native benchmark's JSON report names them.
#include "bench/bench_cases.h"
#include "engine/frame_step.h"
#include "engine/seed.h"
#include "support/gl_test_context.h"
#include "support/test_window.h"

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

// Repeats one frame until at least the given time has gone by; milliseconds per frame.
double TimePerFrame(const std::function<void()>& frame, double seconds)
{
    frame();  // warm-up
    int64_t frames = 0;
    const Clock::time_point start = Clock::now();
    Clock::duration elapsed{};
    do {
        frame();
        ++frames;
        PumpMessages();
        elapsed = Clock::now() - start;
    } while (std::chrono::duration<double>(elapsed).count() < seconds);
    return std::chrono::duration<double, std::milli>(elapsed).count() / static_cast<double>(frames);
}

void Report(const char* name, uint32_t density, double milliseconds)
{
    std::printf("{\"name\": \"%s/%u\", \"real_time\": %.6f, \"time_unit\": \"ms\", \"seeds\": %u}\n", name,
                density, milliseconds, seedField.size());
    std::fflush(stdout);
}

}  // namespace

int main()
{
    GlTestContext context(BenchWidth, BenchHeight);
    if (!context.current())
        return 1;
    for (uint32_t density : {20000u, 100000u}) {
        PrepareSteadyState(density);
        Report("BM_FrameStep", density, TimePerFrame([&] { FrameStep(context.deviceContext(), density, BenchSize); }, 3.0));
        PrepareSteadyState(density);
        volatile double sink = 0.0;
        Report("BM_CpuFloor", density, TimePerFrame([&] { sink = sink + CpuFloor(density); }, 1.0));
        GlFloor floor;
        floor.capture();
        Report("BM_GlFloor", density, TimePerFrame([&] {
                   floor.draw();
                   SwapBuffers(context.deviceContext());
               }, 3.0));
        Report("BM_CallFloor", density, TimePerFrame([&] {
                   floor.drawEachPoint();
                   SwapBuffers(context.deviceContext());
               }, 3.0));
    }
    return 0;
}
