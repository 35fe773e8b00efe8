#include "bench/steady_field.h"

#include "engine/color_scheme.h"
#include "engine/frame_step.h"
#include "engine/seed.h"

uint32_t SettledFrames(uint32_t density)
{
    return density * 7;  // the longest lifetime is 6.56 times the density
}

void BuildSteadyField(uint32_t density, uint32_t frames)
{
    const double step = 1.0 / static_cast<double>(density);
    const uint32_t oldestPossible = frames > SettledFrames(density) ? frames - SettledFrames(density) : 0;
    seedField.clear();
    spiralAngle = 0.0;
    for (uint32_t frame = 1; frame <= frames; ++frame) {
        spiralAngle += goldenAngle;
        if (frame <= oldestPossible)
            continue;
        Seed seed;
        seed.reset();
        seed.setAngle(spiralAngle);
        seed.setColor(unpackColor(currentScheme.colorFor(seedField.size())));
        seed.setAge(static_cast<int32_t>(frames - frame));
        seed.advance(step, SeedScale, SeedScale);
        if (InBounds(seed))
            seedField.append(seed);
    }
}
