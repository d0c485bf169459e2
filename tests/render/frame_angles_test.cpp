#include "render/run_saver.h"
#include "render/scene.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Angles {
    float x, y, z;
};

// The angles that frames 1..count draw, stepping and wrapping the way the frame loop does.
std::vector<Angles> DrawnAngles(int count) {
    g_angleX = g_angleY = g_angleZ = 0.0f;
    std::vector<Angles> drawn(1); // frame 0: nothing is drawn
    for (int frame = 1; frame <= count; ++frame) {
        AdvanceAngles();
        drawn.push_back({g_angleX, g_angleY, g_angleZ});
        WrapAngles();
    }
    return drawn;
}

TEST(FrameAngles, ScheduleOfTheThreeTurns) {
    const std::vector<Angles> drawn = DrawnAngles(2881);
    const struct {
        int frame;
        Angles angles;
    } expected[] = {
        {1, {0.25f, 0.5f, 0.125f}},        {2, {0.5f, 1.0f, 0.25f}},
        {719, {179.75f, 359.5f, 89.875f}}, {720, {180.0f, 360.0f, 90.0f}},
        {721, {180.25f, 0.5f, 90.125f}},   {1440, {360.0f, 360.0f, 180.0f}},
        {1441, {0.25f, 0.5f, 180.125f}},   {2880, {360.0f, 360.0f, 360.0f}},
        {2881, {0.25f, 0.5f, 0.125f}},
    };
    for (const auto& e : expected) {
        // Exact comparisons: every value is a multiple of 1/8 and needs no rounding.
        EXPECT_EQ(e.angles.x, drawn[e.frame].x) << "frame " << e.frame;
        EXPECT_EQ(e.angles.y, drawn[e.frame].y) << "frame " << e.frame;
        EXPECT_EQ(e.angles.z, drawn[e.frame].z) << "frame " << e.frame;
    }
}

TEST(FrameAngles, EveryDrawnAngleIsInTheHalfOpenTurnAndRepeatsAfter2880Frames) {
    const std::vector<Angles> drawn = DrawnAngles(2 * 2880);
    for (int frame = 1; frame <= 2880; ++frame) {
        for (float angle : {drawn[frame].x, drawn[frame].y, drawn[frame].z}) {
            ASSERT_GT(angle, 0.0f) << "frame " << frame;
            ASSERT_LE(angle, 360.0f) << "frame " << frame;
        }
        ASSERT_EQ(drawn[frame].x, drawn[frame + 2880].x) << "frame " << frame;
        ASSERT_EQ(drawn[frame].y, drawn[frame + 2880].y) << "frame " << frame;
        ASSERT_EQ(drawn[frame].z, drawn[frame + 2880].z) << "frame " << frame;
    }
    // Between frames the angles lie in [0, 360).
    EXPECT_EQ(0.0f, g_angleX);
    EXPECT_EQ(0.0f, g_angleY);
    EXPECT_EQ(0.0f, g_angleZ);
}

TEST(FrameAngles, WrapSetsToZeroRatherThanReducing) {
    g_angleX = 360.25f;
    g_angleY = 359.875f;
    g_angleZ = 720.0f;
    WrapAngles();
    EXPECT_EQ(0.0f, g_angleX);
    EXPECT_EQ(359.875f, g_angleY);
    EXPECT_EQ(0.0f, g_angleZ);
}

} // namespace
