// The scene drawn by the platform's OpenGL into a hidden window, read back from the back buffer
// before any swap.
#include "render/scene.h"
#include "tests/support/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Image {
    std::vector<unsigned char> rgb; // rows from the bottom, as OpenGL reads them
    const unsigned char* At(int x, int y) const {
        return &rgb[3 * (y * kWidth + x)];
    }
    bool operator==(const Image&) const = default;
};

// A hidden window with a double-buffered RGBA context and a depth buffer, made current.
class ScenePixels : public ::testing::Test {
  protected:
    void SetUp() override {
        test::RegisterWindowClass("MoskelScenePixels", DefWindowProcA, nullptr, CS_OWNDC);
        window_ = CreateWindowExA(0, "MoskelScenePixels", "", WS_POPUP, 0, 0, kWidth, kHeight,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, window_);
        ASSERT_FALSE(IsWindowVisible(window_));
        dc_ = GetDC(window_);
        PIXELFORMATDESCRIPTOR format = {};
        format.nSize = sizeof(format);
        format.nVersion = 1;
        format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        format.iPixelType = PFD_TYPE_RGBA;
        format.cColorBits = 24;
        format.cDepthBits = 16;
        const int index = ChoosePixelFormat(dc_, &format);
        ASSERT_NE(0, index);
        ASSERT_TRUE(SetPixelFormat(dc_, index, &format));
        context_ = wglCreateContext(dc_);
        ASSERT_NE(nullptr, context_);
        ASSERT_TRUE(wglMakeCurrent(dc_, context_));
        InitScene(kWidth, kHeight);
    }

    void TearDown() override {
        wglMakeCurrent(nullptr, nullptr);
        if (context_ != nullptr) {
            wglDeleteContext(context_);
        }
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
    }

    static Image Draw(float x, float y, float z, int rotate = 0) {
        g_angleX = x;
        g_angleY = y;
        g_angleZ = z;
        DrawScene(rotate);
        Image image;
        image.rgb.resize(3 * kWidth * kHeight);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, image.rgb.data());
        return image;
    }

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};

TEST_F(ScenePixels, RotateSettingDoesNotChangeThePicture) {
    const Image off = Draw(25, 50, 12.5f, 0);
    const Image on = Draw(25, 50, 12.5f, 1);
    const long lit =
        std::count_if(off.rgb.begin(), off.rgb.end(), [](unsigned char c) { return c > 10; });
    EXPECT_GT(lit, 10000) << "nothing drawn";
    EXPECT_TRUE(off == on);
}

// What the viewer sees of a cell of the grid (column along x, row along y) on one large side.
enum Shade { Dark, BlueGrey, White };

// The relief of cubes 0 to 9 and the caps over the white ones, by column and row, as described;
// empty cells show the dark core. Both large sides carry this pattern, the +z side turned 180
// degrees about x.
constexpr Shade kRelief[4][5] = {
    {White, Dark, BlueGrey, Dark, BlueGrey},
    {White, White, Dark, BlueGrey, BlueGrey},
    {Dark, Dark, BlueGrey, Dark, Dark},
    {BlueGrey, Dark, Dark, Dark, White},
};
constexpr double kColumnCentres[4] = {-0.312466, -0.104155, 0.104155, 0.312466};
constexpr double kRowCentres[5] = {0.407418, 0.203736, 0.0000544, -0.203628, -0.407309};
// How far the foremost face of a cell stands out from the slab's middle.
double Relief(int column, int row) {
    const bool capped =
        (column == 0 && row == 0) || (column == 1 && row <= 1) || (column == 3 && row == 4);
    if (capped) {
        return 0.492455;
    }
    return kRelief[column][row] == Dark ? 0.0924584 : 0.286882;
}

struct Pixel {
    int x, y;
};
// A point given in eye terms (right, up, towards the viewer, from the figure's centre), with the
// figure 2 units in front of the eye, a 60 degree vertical field of view and a 4:3 window.
Pixel Project(double right, double up, double towardViewer) {
    const double focal = 1 / std::tan(30 * 3.14159265358979323846 / 180);
    const double depth = 2 - towardViewer;
    const double x = focal / (4.0 / 3.0) * right / depth;
    const double y = focal * up / depth;
    return {int((x + 1) / 2 * kWidth), int((y + 1) / 2 * kHeight)};
}

// Faces turned to the eye come out near green levels 113 (white), 71 (blue-grey) and 35 (dark).
Shade ShadeAt(const Image& image, Pixel p) {
    const int green = image.At(p.x, p.y)[1];
    return green >= 92 ? White : green >= 50 ? BlueGrey : Dark;
}

// With all angles 0 the model's +x axis points up the screen, +y to the left and +z towards the
// viewer, who sees the relief of cubes 34 to 67: cube k's cell with y negated.
TEST_F(ScenePixels, AtZeroAnglesTheViewerFacesThePlusZReliefWithXUp) {
    const Image image = Draw(0, 0, 0);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 5; ++row) {
            const Pixel p = Project(kRowCentres[row], kColumnCentres[column], Relief(column, row));
            EXPECT_EQ(kRelief[column][row], ShadeAt(image, p))
                << "column " << column << " row " << row << " at " << p.x << ',' << p.y << " green "
                << int(image.At(p.x, p.y)[1]);
        }
    }
}

// Half a turn about x shows the -z side (x down the screen, y still to the left), lit like the +z
// side: the lights stay with the eye and do not turn away with the figure.
TEST_F(ScenePixels, LightsStayFixedRelativeToTheEyeWhileTheFigureTurns) {
    const Image front = Draw(0, 0, 0);
    const Image back = Draw(180, 0, 0);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 5; ++row) {
            const Pixel p =
                Project(-kRowCentres[row], -kColumnCentres[column], Relief(column, row));
            EXPECT_EQ(kRelief[column][row], ShadeAt(back, p))
                << "column " << column << " row " << row << " at " << p.x << ',' << p.y;
        }
    }
    const Pixel frontCap = Project(kRowCentres[0], kColumnCentres[0], Relief(0, 0));
    const Pixel backCap = Project(-kRowCentres[0], -kColumnCentres[0], Relief(0, 0));
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_NEAR(front.At(frontCap.x, frontCap.y)[channel],
                    back.At(backCap.x, backCap.y)[channel], 2);
    }

    for (const float angle : {0.0f, 90.0f, 180.0f, 271.5f}) {
        Draw(angle, angle / 2, angle / 4);
        GLfloat position1[4] = {};
        GLfloat position2[4] = {};
        glGetLightfv(GL_LIGHT1, GL_POSITION, position1);
        glGetLightfv(GL_LIGHT2, GL_POSITION, position2);
        EXPECT_EQ((std::vector<GLfloat>{1, -2, 10, 0}),
                  std::vector<GLfloat>(position1, position1 + 4));
        EXPECT_EQ((std::vector<GLfloat>{-2, 2, 10, 0}),
                  std::vector<GLfloat>(position2, position2 + 4));
    }
}

TEST_F(ScenePixels, DrawingLeavesCullingOffAndTheModelviewMatrixAsItWas) {
    glTranslatef(0.125f, -0.25f, 0.5f);
    GLfloat before[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    Draw(37.5f, 75, 18.75f);
    GLfloat after[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::vector<GLfloat>(before, before + 16), std::vector<GLfloat>(after, after + 16));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(GL_MODELVIEW, mode);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

// The projection matrix holds f / aspect and f, with f = 1 / tan(30 degrees).
double AspectOfProjection() {
    GLdouble projection[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    return projection[5] / projection[0];
}

TEST_F(ScenePixels, ProjectionTakesTheWindowsAspectAndSurvivesAZeroHeight) {
    EXPECT_NEAR(1.3333333333333333, AspectOfProjection(), 1e-6);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::vector<GLint>{0, 0, 640, 480}), std::vector<GLint>(viewport, viewport + 4));

    InitScene(640, 0);
    EXPECT_NEAR(640, AspectOfProjection(), 1e-3);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::vector<GLint>{0, 0, 640, 0}), std::vector<GLint>(viewport, viewport + 4));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

// Window depth of a point at a distance in front of the eye, for near 1 and far 20.
double WindowDepth(double distance) {
    return 20.0 / 19.0 * (1 - 1 / distance);
}

// In feedback mode OpenGL hands back the triangles it would draw, after clipping. A triangle cut
// by the near or far plane would come back with new corners at depth 0 or 1; the figure must
// instead stay between 1.18971 and 2.81029 units from the eye at every angle.
TEST_F(ScenePixels, TheFigureStaysBetweenTheNearAndFarPlanesAtEveryAngle) {
    std::vector<GLfloat> feedback(65536);
    double nearest = 1;
    double farthest = 0;
    for (int x = 0; x < 360; x += 30) {
        for (int y = 0; y < 360; y += 30) {
            for (int z = 0; z < 360; z += 30) {
                glFeedbackBuffer(GLsizei(feedback.size()), GL_3D, feedback.data());
                glRenderMode(GL_FEEDBACK);
                g_angleX = float(x) + 0.25f;
                g_angleY = float(y) + 0.5f;
                g_angleZ = float(z) + 0.125f;
                DrawScene(0);
                const GLint size = glRenderMode(GL_RENDER);
                ASSERT_GT(size, 0);
                for (GLint i = 0; i < size;) {
                    ASSERT_EQ(GL_POLYGON_TOKEN, GLint(feedback[i]));
                    const GLint corners = GLint(feedback[i + 1]);
                    ASSERT_EQ(3, corners) << "clipped at " << x << ',' << y << ',' << z;
                    for (GLint k = 0; k < corners; ++k) {
                        const double depth = feedback[i + 2 + 3 * k + 2];
                        nearest = std::min(nearest, depth);
                        farthest = std::max(farthest, depth);
                    }
                    i += 2 + 3 * corners;
                }
            }
        }
    }
    EXPECT_GE(nearest, WindowDepth(1.18971) - 1e-4);
    EXPECT_LE(farthest, WindowDepth(2.81029) + 1e-4);
}

// A known frame (the 100th: x 25, y 50, z 12.5 degrees), averaged down to 64 x 48, against the
// committed picture. The tolerance lets other Mesa versions differ at edges. To take a new
// picture after an intended change to the model, the materials or the lights, run
//   MOSKEL_UPDATE_GOLDEN=1 tools/test -R GoldenFrame
// and commit tests/render/data/scene_frame.ppm.
constexpr int kSmallWidth = 64;
constexpr int kSmallHeight = 48;
constexpr int kBlock = kWidth / kSmallWidth;

std::vector<unsigned char> Shrink(const Image& image) {
    std::vector<unsigned char> small(3 * kSmallWidth * kSmallHeight);
    for (int y = 0; y < kSmallHeight; ++y) {
        for (int x = 0; x < kSmallWidth; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < kBlock; ++dy) {
                    for (int dx = 0; dx < kBlock; ++dx) {
                        sum += image.At(kBlock * x + dx, kBlock * y + dy)[channel];
                    }
                }
                // Stored top row first, as a PPM file is.
                small[3 * ((kSmallHeight - 1 - y) * kSmallWidth + x) + channel] =
                    static_cast<unsigned char>((sum + kBlock * kBlock / 2) / (kBlock * kBlock));
            }
        }
    }
    return small;
}

TEST_F(ScenePixels, GoldenFrame) {
    const std::vector<unsigned char> small = Shrink(Draw(25, 50, 12.5f));
    const char* update = std::getenv("MOSKEL_UPDATE_GOLDEN");
    if (update != nullptr && *update != '\0') {
        FILE* file = std::fopen(MOSKEL_GOLDEN_FRAME, "wb");
        ASSERT_NE(nullptr, file) << MOSKEL_GOLDEN_FRAME;
        std::fprintf(file, "P6\n%d %d\n255\n", kSmallWidth, kSmallHeight);
        std::fwrite(small.data(), 1, small.size(), file);
        std::fclose(file);
        GTEST_SKIP() << "wrote " << MOSKEL_GOLDEN_FRAME;
    }

    FILE* file = std::fopen(MOSKEL_GOLDEN_FRAME, "rb");
    ASSERT_NE(nullptr, file) << MOSKEL_GOLDEN_FRAME;
    int width = 0;
    int height = 0;
    int levels = 0;
    ASSERT_EQ(3, std::fscanf(file, "P6 %d %d %d", &width, &height, &levels));
    std::fgetc(file);
    std::vector<unsigned char> golden(small.size());
    const std::size_t read = std::fread(golden.data(), 1, golden.size(), file);
    std::fclose(file);
    ASSERT_EQ(kSmallWidth, width);
    ASSERT_EQ(kSmallHeight, height);
    ASSERT_EQ(golden.size(), read);

    int worst = 0;
    int beyondSmall = 0;
    for (std::size_t i = 0; i < small.size(); ++i) {
        const int difference = std::abs(int(small[i]) - int(golden[i]));
        worst = std::max(worst, difference);
        beyondSmall += difference > 6 ? 1 : 0;
    }
    EXPECT_LE(worst, 40);
    EXPECT_LE(beyondSmall, int(small.size() / 100)) << "worst difference " << worst;
}

} // namespace
