// The engine's frames against a straightforward frame loop written here: the same points, in the
// same order and colours, and the same field after every frame, through removals and scheme changes.
#include "engine/color_scheme.h"
#include "engine/frame_step.h"
#include "engine/seed.h"
#include "engine/view.h"
#include "support/emulation.h"
#include "support/gl_test_context.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::time_t fakeSecond = 0;
std::time_t FakeClock()
{
    return fakeSecond;
}

// Scheme attempts at frames 100, 200, 300, ...: even, odd, even, odd, ... seconds.
void SetClockFor(int frame)
{
    fakeSecond = 1000 + frame / 100;
}

struct ReferenceSeed {
    double angle;
    ColorRGB color;
    int32_t age;
    double x;
    double y;
};

// One frame as the plain rules read: a seed per frame coloured by the field's size, every seed aged,
// placed from its age and direction, drawn as its own point, and taken out when out of bounds.
class ReferenceLoop {
public:
    explicit ReferenceLoop(const ColorScheme& scheme) : scheme_(scheme) {}

    void frame(uint32_t density, uint32_t size)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        angle_ += goldenAngle;
        seeds_.push_back({angle_, unpackColor(scheme_.colorFor(static_cast<uint32_t>(seeds_.size()))), 0, 0, 0});
        glPointSize(static_cast<float>(size));
        for (std::size_t i = 0; i < seeds_.size();) {
            ReferenceSeed& seed = seeds_[i];
            seed.age += 1;
            const double r = std::sqrt(static_cast<double>(seed.age) * (1.0 / static_cast<double>(density)));
            seed.x = 300.0 * (r * std::cos(seed.angle));
            seed.y = 300.0 * (r * std::sin(seed.angle));
            glColor3f(seed.color.red, seed.color.green, seed.color.blue);
            glBegin(GL_POINTS);
            glVertex3d(seed.x, seed.y, 0.0);
            glEnd();
            if (seed.x >= -600 && seed.x <= 600 && seed.y >= -480 && seed.y <= 480)
                ++i;
            else
                seeds_.erase(seeds_.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (++counter_ == 100) {
            if (calendarClock() % 2 == 0)
                scheme_ = makeRandomScheme();
            counter_ = 0;
        }
        glPopMatrix();
        glFinish();
    }

    const std::vector<ReferenceSeed>& seeds() const { return seeds_; }

private:
    ColorScheme scheme_;
    std::vector<ReferenceSeed> seeds_;
    double angle_ = 0.0;
    int counter_ = 0;
};

uint64_t Mix(uint64_t hash, const void* data, std::size_t bytes)
{
    const auto* byte = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < bytes; ++i)
        hash = (hash ^ byte[i]) * 1099511628211u;
    return hash;
}

template <typename T>
uint64_t Mix(uint64_t hash, T value)
{
    return Mix(hash, &value, sizeof value);
}

// What one frame showed and left behind: every point in feedback order with its colour, then the field.
struct FrameRecord {
    uint64_t pointsHash = 14695981039346656037u;
    uint64_t fieldHash = 14695981039346656037u;
    uint64_t placesHash = 14695981039346656037u;  // direction and place of every seed, not the colours
    int points = 0;
    uint32_t seeds = 0;
};

bool operator==(const FrameRecord& a, const FrameRecord& b)
{
    return a.pointsHash == b.pointsHash && a.fieldHash == b.fieldHash && a.points == b.points &&
           a.seeds == b.seeds;
}

constexpr GLsizei FeedbackFloats = 1 << 16;

// Every point is inside this projection, so feedback reports each drawn point, clipped or not by the saver's view.
void ViewEverything()
{
    glViewport(0, 0, ViewWidth, ViewHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2000, 2000, -2000, 2000, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

template <typename DrawOne, typename Field>
std::vector<FrameRecord> RecordFrames(int frames, DrawOne drawOne, Field addField)
{
    std::vector<GLfloat> feedback(FeedbackFloats);
    std::vector<FrameRecord> records;
    for (int frame = 1; frame <= frames; ++frame) {
        SetClockFor(frame);
        glFeedbackBuffer(FeedbackFloats, GL_3D_COLOR, feedback.data());
        glRenderMode(GL_FEEDBACK);
        drawOne();
        const GLint used = glRenderMode(GL_RENDER);
        FrameRecord record;
        for (GLint i = 0; i < used;) {
            if (feedback[i] != GL_POINT_TOKEN) {
                ADD_FAILURE() << "unexpected feedback token " << feedback[i] << " in frame " << frame;
                return records;
            }
            record.pointsHash = Mix(record.pointsHash, &feedback[i + 1], 7 * sizeof(GLfloat));
            ++record.points;
            i += 8;
        }
        addField(record);
        records.push_back(record);
    }
    return records;
}

#ifdef _WIN32
uint64_t ExpectedPlaces(uint32_t density)
{
    switch (density) {
    case 1:  return 0x56930eae673479aau;
    case 20: return 0xbc52eb9003d59adbu;
    case 60: return 0xe158bd0efe8913cbu;
    default: return 0;
    }
}
#endif

class FrameReferenceTest : public ::testing::TestWithParam<uint32_t> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.current());
        calendarClock = FakeClock;
        ViewEverything();
    }
    void TearDown() override
    {
        calendarClock = SystemCalendarTime;
        seedField.clear();
    }

    GlTestContext context{ViewWidth, ViewHeight};
};

// Seven random palette colours in turn, the same for both runs.
const ColorScheme& StartScheme()
{
    static const ColorScheme scheme(Cycle, 7);
    return scheme;
}

constexpr int Frames = 450;
constexpr uint32_t Size = 3;

// The engine's frames from a fresh start, with the place of every seed after each one.
std::vector<FrameRecord> EngineFrames(uint32_t density)
{
    seedField.clear();
    spiralAngle = 0.0;
    frameCounter = 0;
    fakeSecond = 1000;
    currentScheme = StartScheme();
    return RecordFrames(
        Frames, [&] { DrawFrame(density, Size); },
        [](FrameRecord& record) {
            record.seeds = seedField.size();
            for (uint32_t i = 0; i < seedField.size(); ++i) {
                const Seed& seed = seedField[i];
                record.placesHash = Mix(Mix(Mix(record.placesHash, seed.angle()), seed.x()), seed.y());
                record.fieldHash = Mix(record.fieldHash, seed.angle());
                record.fieldHash = Mix(record.fieldHash, seed.age());
                record.fieldHash = Mix(record.fieldHash, seed.x());
                record.fieldHash = Mix(record.fieldHash, seed.y());
                const ColorRGB color = seed.color();
                record.fieldHash = Mix(record.fieldHash, &color, sizeof color);
            }
        });
}

}  // namespace

// A few hundred frames at densities where seeds leave singly and several in one frame, and where
// Density 1 removes seeds in almost every frame.
TEST_P(FrameReferenceTest, EngineFramesMatchThePlainLoopPointForPoint)
{
    const uint32_t density = GetParam();
    const std::vector<FrameRecord> engine = EngineFrames(density);

    fakeSecond = 1000;
    ReferenceLoop reference(StartScheme());
    const std::vector<FrameRecord> expected = RecordFrames(
        Frames, [&] { reference.frame(density, Size); },
        [&](FrameRecord& record) {
            record.seeds = static_cast<uint32_t>(reference.seeds().size());
            for (const ReferenceSeed& seed : reference.seeds()) {
                record.fieldHash = Mix(record.fieldHash, seed.angle);
                record.fieldHash = Mix(record.fieldHash, seed.age);
                record.fieldHash = Mix(record.fieldHash, seed.x);
                record.fieldHash = Mix(record.fieldHash, seed.y);
                record.fieldHash = Mix(record.fieldHash, &seed.color, sizeof seed.color);
            }
        });

    ASSERT_EQ(engine.size(), expected.size());
    int removalFrames = 0;
    int multipleRemovalFrames = 0;
    for (std::size_t i = 0; i < engine.size(); ++i) {
        ASSERT_TRUE(engine[i] == expected[i])
            << "frame " << i + 1 << ": " << engine[i].points << " points and " << engine[i].seeds
            << " seeds, expected " << expected[i].points << " and " << expected[i].seeds;
        const int removed = expected[i].points - static_cast<int>(expected[i].seeds);
        removalFrames += removed > 0;
        multipleRemovalFrames += removed > 1;
    }
    EXPECT_GT(removalFrames, 0) << "the run never removed a seed";
    if (density > 1) {
        EXPECT_GT(multipleRemovalFrames, 0) << "no frame removed several seeds at once";
    }
    EXPECT_FALSE(currentScheme == StartScheme()) << "no scheme change happened";
}

#ifdef _WIN32
// Both Windows builds place every seed alike: the i686 build rounds each step on the x87 unit to
// double precision, as the x86_64 build's SSE2 does. The digests of where the seeds stood in every
// frame were taken from the x86_64 build.
TEST_P(FrameReferenceTest, SeedPlacesMatchThePinnedDigests)
{
    SKIP_UNDER_EMULATION("it computes x87 sine and cosine with the host's maths library, whose last "
                         "bits differ from the processor's");
    const uint32_t density = GetParam();
    uint64_t places = 14695981039346656037u;
    for (const FrameRecord& record : EngineFrames(density))
        places = Mix(places, record.placesHash);
    EXPECT_EQ(places, ExpectedPlaces(density)) << std::hex << "digest 0x" << places;
}
#endif

INSTANTIATE_TEST_SUITE_P(Densities, FrameReferenceTest, ::testing::Values(1u, 20u, 60u));
