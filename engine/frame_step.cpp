#include "engine/frame_step.h"

#include "engine/color_scheme.h"
#include "engine/seed.h"
#include "engine/view.h"

#include <GL/gl.h>

#include <utility>

// Data
double spiralAngle = 0.0;
int32_t frameCounter = 0;

namespace {

static_assert(SeedScale == ViewWidth / 2, "both scales are half the view's width");

// A memory shortage skips this frame's seed; the field stays as it was.
void AddSeed()
{
    spiralAngle += goldenAngle;
    Seed seed;
    seed.reset();
    seed.setAngle(spiralAngle);
    seed.setColor(unpackColor(currentScheme.colorFor(seedField.size())));
    seedField.append(seed);
}

// Oldest first, so younger seeds are drawn over older ones. The seeds that stay are packed toward
// the front as the walk goes and the rest is cut off once at the end: the same order as removing
// each at once, without moving the field behind every removed seed.
void AdvanceAndDrawSeeds(uint32_t density)
{
    const double step = 1.0 / static_cast<double>(density);
    const uint32_t count = seedField.size();
    uint32_t kept = 0;
    for (uint32_t index = 0; index < count; ++index) {
        Seed& seed = seedField[index];
        seed.advance(step, SeedScale, SeedScale);
        seed.draw();
        if (!InBounds(seed))
            continue;
        if (kept != index)
            seedField[kept] = seed;
        ++kept;
    }
    seedField.truncate(kept);
}

// A fresh scheme about every other attempt, on even calendar seconds; one that could not get its
// colours' memory is dropped and the old scheme stays.
void TrySchemeChange()
{
    if (++frameCounter != SchemeChangeFrames)
        return;
    if (calendarClock() % 2 == 0) {
        ColorScheme fresh = makeRandomScheme();
        if (fresh.complete())
            currentScheme = std::move(fresh);
    }
    frameCounter = 0;
}

}  // namespace

bool InBounds(const Seed& seed)
{
    return seed.x() >= -ViewWidth && seed.x() <= ViewWidth && seed.y() >= -ViewHeight &&
           seed.y() <= ViewHeight;
}

void DrawFrame(uint32_t density, uint32_t size)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
        AddSeed();
        glPointSize(static_cast<float>(size));
        AdvanceAndDrawSeeds(density);
        TrySchemeChange();
    glPopMatrix();
    glFinish();
}
