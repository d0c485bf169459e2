// The scene and the material switch, linked against the recording stand-in for opengl32 and
// glu32: the exact command stream, values included, that compiles the figure and draws a frame.
#include "render/scene.h"

#include "model/material.h"
#include "model/model.h"
#include "tests/render/recording_gl.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct Call {
    std::string name;
    std::vector<double> arguments;
    bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Call& call) {
    out << call.name << '(';
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        out << (i ? ", " : "") << call.arguments[i];
    }
    return out << ')';
}

std::vector<Call> Recorded() {
    std::size_t count = 0;
    const RecordedGlCall* calls = RecordedGlCalls(&count);
    std::vector<Call> result;
    for (std::size_t i = 0; i < count; ++i) {
        result.push_back(
            {calls[i].name,
             std::vector<double>(calls[i].arguments, calls[i].arguments + calls[i].argumentCount)});
    }
    return result;
}

// Shows the first difference with the calls around it instead of thousands of calls.
::testing::AssertionResult SameCalls(const std::vector<Call>& expected,
                                     const std::vector<Call>& actual) {
    std::size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) {
        ++i;
    }
    if (i == expected.size() && i == actual.size()) {
        return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure();
    failure << expected.size() << " calls expected, " << actual.size() << " recorded; first "
            << "difference at call " << i << "\n";
    const std::size_t from = i < 3 ? 0 : i - 3;
    for (std::size_t j = from; j < i + 3; ++j) {
        failure << "  " << j << ": expected ";
        if (j < expected.size()) {
            failure << expected[j];
        } else {
            failure << "(none)";
        }
        failure << "  recorded ";
        if (j < actual.size()) {
            failure << actual[j];
        } else {
            failure << "(none)";
        }
        failure << "\n";
    }
    return failure;
}

// The materials and runs as the figure is described.
struct Material {
    float ambient[3], diffuse[3], specular[3], emission[3], alpha, shininess;
};
const Material kMaterials[3] = {
    {{0.0235294f, 0, 0}, {1, 1, 1}, {0.2f, 0.2f, 0.2f}, {0, 0, 0}, 1, 45.2548f},
    {{0.0235294f, 0, 0},
     {0.54902f, 0.572549f, 0.580392f},
     {0.2f, 0.2f, 0.2f},
     {0, 0, 0},
     1,
     45.2548f},
    {{0.0235294f, 0, 0},
     {0.207843f, 0.207843f, 0.207843f},
     {0.2f, 0.2f, 0.2f},
     {0, 0, 0},
     1,
     45.2548f},
};
const int kRuns[13][2] = {{0, 12}, {1, 24}, {0, 24}, {1, 48}, {0, 12},  {2, 240}, {0, 60},
                          {1, 24}, {0, 24}, {1, 48}, {0, 12}, {2, 240}, {0, 48}};

Call Color(GLenum parameter, const float* rgb, float alpha) {
    return {"glMaterialfv", {GL_FRONT_AND_BACK, double(parameter), rgb[0], rgb[1], rgb[2], alpha}};
}

std::vector<Call> MaterialChange(int row) {
    const Material& m = kMaterials[row];
    return {{"glEnd", {}},
            Color(GL_AMBIENT, m.ambient, m.alpha),
            Color(GL_DIFFUSE, m.diffuse, m.alpha),
            Color(GL_SPECULAR, m.specular, m.alpha),
            Color(GL_EMISSION, m.emission, m.alpha),
            {"glMaterialf", {GL_FRONT_AND_BACK, GL_SHININESS, m.shininess}},
            {"glBegin", {GL_TRIANGLES}}};
}

void Append(std::vector<Call>& calls, const std::vector<Call>& more) {
    calls.insert(calls.end(), more.begin(), more.end());
}

std::vector<Call> ExpectedInitScene(int width, int height, double aspect) {
    std::vector<Call> calls = {{"glGenLists", {1}},
                               {"glNewList", {kRecordedListName, GL_COMPILE}},
                               {"glRotatef", {90, 0, 0, 1}},
                               {"glRotatef", {90, 0, 1, 0}},
                               {"glBegin", {GL_TRIANGLES}}};
    int face = 0;
    for (const auto& run : kRuns) {
        Append(calls, MaterialChange(run[0]));
        for (int end = face + run[1]; face < end; ++face) {
            for (int k = 0; k < 3; ++k) {
                const ModelVector& n = g_normals[g_faces[face].normal[k]];
                const ModelVector& v = g_vertices[g_faces[face].vertex[k]];
                calls.push_back({"glNormal3f", {n.x, n.y, n.z}});
                calls.push_back({"glVertex3f", {v.x, v.y, v.z}});
            }
        }
    }
    const float light = 0.2f;
    Append(calls, {{"glEnd", {}},
                   {"glEndList", {}},
                   {"glClearColor", {0, 0, 0, 1}},
                   {"glShadeModel", {GL_SMOOTH}},
                   {"glViewport", {0, 0, double(width), double(height)}},
                   {"glMatrixMode", {GL_PROJECTION}},
                   {"glLoadIdentity", {}},
                   {"gluPerspective", {60, aspect, 1, 20}},
                   {"glMatrixMode", {GL_MODELVIEW}},
                   {"glLightfv", {GL_LIGHT1, GL_POSITION, 1, -2, 10, 0}},
                   {"glLightfv", {GL_LIGHT1, GL_DIFFUSE, light, light, light, 1}},
                   {"glLightfv", {GL_LIGHT1, GL_SPECULAR, light, light, light, 1}},
                   {"glLightfv", {GL_LIGHT2, GL_POSITION, -2, 2, 10, 0}},
                   {"glLightfv", {GL_LIGHT2, GL_DIFFUSE, light, light, light, 1}},
                   {"glLightfv", {GL_LIGHT2, GL_SPECULAR, light, light, light, 1}},
                   {"glEnable", {GL_LIGHTING}},
                   {"glEnable", {GL_LIGHT1}},
                   {"glEnable", {GL_LIGHT2}},
                   {"glEnable", {GL_DEPTH_TEST}}});
    return calls;
}

class SceneCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        // The stand-in must be what the scene calls: the real library is not even loaded.
        ASSERT_EQ(nullptr, GetModuleHandleA("opengl32.dll"));
        ASSERT_EQ(nullptr, GetModuleHandleA("glu32.dll"));
        ClearRecordedGlCalls();
    }
};

TEST_F(SceneCommands, SelectMaterialSwitchesEveryColourBetweenTwoBatches) {
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        ClearRecordedGlCalls();
        SelectMaterial(row);
        EXPECT_TRUE(SameCalls(MaterialChange(row), Recorded()));
    }
}

TEST_F(SceneCommands, SetMaterialColorAddsTheAlphaAndLeavesTheCallersColour) {
    const float rgb[3] = {0.25f, 0.5f, 0.75f};
    SetMaterialColor(GL_SPECULAR, rgb, 0.125f);
    EXPECT_TRUE(SameCalls(
        {{"glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 0.25, 0.5, 0.75, 0.125}}}, Recorded()));
    EXPECT_EQ(0.25f, rgb[0]);
    EXPECT_EQ(0.5f, rgb[1]);
    EXPECT_EQ(0.75f, rgb[2]);
}

TEST_F(SceneCommands, InitSceneCompilesTheFigureRunByRunThenSetsTheFixedState) {
    g_angleX = 12.5f;
    g_angleY = 360;
    g_angleZ = 0.125f;
    InitScene(640, 480);
    EXPECT_TRUE(SameCalls(ExpectedInitScene(640, 480, 1.3333333333333333), Recorded()));
    EXPECT_EQ(kRecordedListName, g_sceneList);
    EXPECT_EQ(0.0f, g_angleX);
    EXPECT_EQ(0.0f, g_angleY);
    EXPECT_EQ(0.0f, g_angleZ);
}

struct SizeCase {
    int width, height;
    double aspect;
};
void PrintTo(const SizeCase& c, std::ostream* out) {
    *out << c.width << 'x' << c.height;
}

class SceneAspect : public SceneCommands, public ::testing::WithParamInterface<SizeCase> {};

// A floating-point division, never an integer one; a window 0 pixels high counts as 1 pixel high
// for the aspect ratio only, so that no division by zero reaches the projection.
TEST_P(SceneAspect, ProjectionTakesWidthOverHeight) {
    const SizeCase& size = GetParam();
    InitScene(size.width, size.height);
    const std::vector<Call> calls = Recorded();
    const std::vector<Call> expected = ExpectedInitScene(size.width, size.height, size.aspect);
    ASSERT_EQ(expected.size(), calls.size());
    const std::size_t tail = calls.size() - 19; // the calls after glEndList
    for (std::size_t i = tail; i < calls.size(); ++i) {
        EXPECT_EQ(expected[i], calls[i]) << "call " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SceneAspect,
                         ::testing::Values(SizeCase{640, 480, 1.3333333333333333},
                                           SizeCase{1024, 768, 1.3333333333333333},
                                           SizeCase{152, 112, 1.3571428571428572},
                                           SizeCase{1, 3, 0.3333333333333333}, SizeCase{64, 0, 64},
                                           SizeCase{0, 0, 0}));

struct FrameCase {
    float x, y, z;
    int rotate;
};
void PrintTo(const FrameCase& c, std::ostream* out) {
    *out << c.x << ',' << c.y << ',' << c.z << " rotate " << c.rotate;
}

class SceneFrame : public SceneCommands, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(SceneFrame, DrawSceneTurnsByTheAnglesAroundTheListAndRestoresTheState) {
    const FrameCase& frame = GetParam();
    InitScene(640, 480);
    g_angleX = frame.x;
    g_angleY = frame.y;
    g_angleZ = frame.z;
    ClearRecordedGlCalls();
    DrawScene(frame.rotate);
    const std::vector<Call> expected = {
        {"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}},
        {"glPushMatrix", {}},
        {"glTranslatef", {0, 0, -2}},
        {"glRotatef", {90, 1, 0, 0}},
        {"glRotatef", {frame.x, 1, 0, 0}},
        {"glRotatef", {frame.y, 0, 1, 0}},
        {"glRotatef", {frame.z, 0, 0, 1}},
        {"glEnable", {GL_CULL_FACE}},
        {"glPushMatrix", {}},
        {"glCallList", {kRecordedListName}},
        {"glPopMatrix", {}},
        {"glDisable", {GL_CULL_FACE}},
        {"glPopMatrix", {}},
    };
    EXPECT_TRUE(SameCalls(expected, Recorded()));
}

// The first frame's angles, all three at 360, and the rotate setting off, on and odd.
INSTANTIATE_TEST_SUITE_P(Angles, SceneFrame,
                         ::testing::Values(FrameCase{0.25f, 0.5f, 0.125f, 0},
                                           FrameCase{0.25f, 0.5f, 0.125f, 1},
                                           FrameCase{360, 360, 360, 1},
                                           FrameCase{179.875f, 0, 42.5f, -1}));

} // namespace
