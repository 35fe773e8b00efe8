#include "engine/view.h"

#include "engine/saver_state.h"
#include "support/gl_test_context.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Matrix = std::array<double, 16>;  // column-major, as GL gives it; GL keeps floats

Matrix Read(GLenum which)
{
    Matrix m{};
    glGetDoublev(which, m.data());
    return m;
}

void ExpectMatrix(const Matrix& actual, const Matrix& expected, const char* name)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-7) << name << " entry " << i;
}

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.current());
        currentSettings = DefaultSaverSettings;
    }

    GlTestContext context{320, 256};
};

}  // namespace

TEST_F(ViewTest, SetsViewportProjectionAndCamera)
{
    SetUpView(1024, 768);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);

    // glOrtho(-300, 300, -240, 240, 25, 75)
    ExpectMatrix(Read(GL_PROJECTION_MATRIX),
                 {2.0 / 600, 0, 0, 0, 0, 2.0 / 480, 0, 0, 0, 0, -2.0 / 50, 0, 0, 0, -100.0 / 50, 1},
                 "projection");
    // The eye 50 units up the z axis, looking at the origin with y up: a shift of -50 along z.
    ExpectMatrix(Read(GL_MODELVIEW_MATRIX), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -50, 1}, "model-view");
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    SetUpView(0, 0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 0);
    EXPECT_EQ(viewport[3], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ViewTest, SetsTheDrawingState)
{
    glColor3f(0.5f, 0.5f, 0.5f);
    SetUpView(320, 256);
    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.8745f);
    EXPECT_EQ(clear[1], 0.8745f);
    EXPECT_EQ(clear[2], 0.8745f);
    EXPECT_EQ(clear[3], 0.0f);
    EXPECT_NE(0.8745f, 223.0f / 255.0f);

    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);

    GLint polygonMode[2];
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);
    EXPECT_EQ(polygonMode[1], GL_FILL);
    GLint shadeModel = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(shadeModel, GL_SMOOTH);
    float color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_EQ(color[0], 0.0f);
    EXPECT_EQ(color[1], 0.0f);
    EXPECT_EQ(color[2], 0.0f);
    EXPECT_EQ(color[3], 1.0f);

    // The whole picture is the clear grey.
    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<Rgb> pixels = ReadPixels(320, 256);
    EXPECT_EQ(PixelAt(pixels, 320, 0, 0), (Rgb{223, 223, 223}));
    EXPECT_EQ(PixelAt(pixels, 320, 319, 255), (Rgb{223, 223, 223}));
}

TEST_F(ViewTest, SmoothsPointsExactlyWhenAntialiasIsSet)
{
    SetUpView(320, 256);
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH)) << "Antialias off";

    currentSettings.Antialias = 1;
    SetUpView(320, 256);
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH)) << "Antialias on";

    // Off again: smoothing is never switched off, it stays as it was.
    currentSettings.Antialias = 0;
    SetUpView(320, 256);
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH));
}
