// Runs a number of frames on a settled field in a headless 1024 x 768 Mesa context, for tools that
// count instructions: frame_run <density> <frames>.
#include "bench/bench_cases.h"
#include "support/gl_test_context.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: frame_run <density> <frames>\n");
        return 2;
    }
    const auto density = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    const auto frames = std::strtol(argv[2], nullptr, 10);
    GlTestContext context(BenchWidth, BenchHeight);
    if (!context.current())
        return 1;
    PrepareSteadyState(density);
    for (long frame = 0; frame < frames; ++frame)
        DrawSteadyFrame(density);
    return 0;
}
