#include "model/model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

// The figure as it is described: these expectations are typed in from the description of the
// model, independently of how the tables are built.

namespace {

constexpr int kCubes = 68;
constexpr int kHalf = 34;
constexpr float kEdge = 0.185165f;
constexpr float kEdgeTolerance = 2e-6f; // the extents are given to six digits
constexpr float kMirrorTolerance = 1.1e-07f;
// Turned cubes take the exact turn of their twin's normal, or a row at most one residual step of
// 3.20554e-08 away from it.
constexpr float kTurnedNormalTolerance = 3.3e-08f;
constexpr float kMaxResidual = 2.56443e-07f;

struct Vec {
    double x, y, z;
};
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(Vec a) {
    return std::sqrt(Dot(a, a));
}
Vec ToVec(const ModelVector& v) {
    return {v.x, v.y, v.z};
}
Vec Turned(Vec v) {
    return {v.x, -v.y, -v.z};
}

struct Box {
    Vec low, high;
};
Box CubeBox(int cube) {
    Box box = {ToVec(g_vertices[8 * cube]), ToVec(g_vertices[8 * cube])};
    for (int i = 8 * cube; i < 8 * cube + 8; ++i) {
        const Vec v = ToVec(g_vertices[i]);
        box.low = {std::min(box.low.x, v.x), std::min(box.low.y, v.y), std::min(box.low.z, v.z)};
        box.high = {std::max(box.high.x, v.x), std::max(box.high.y, v.y),
                    std::max(box.high.z, v.z)};
    }
    return box;
}

int MaterialOfFace(int face) {
    int end = 0;
    for (const MaterialRun& run : g_materialRuns) {
        end += run.faceCount;
        if (face < end) {
            return run.material;
        }
    }
    return -1;
}

// Sides in face-pattern order for cubes 0 to 33, as outward axis directions.
constexpr Vec kPatternSides[12] = {{0, 1, 0},  {0, 1, 0},  {1, 0, 0},  {1, 0, 0},
                                   {0, -1, 0}, {0, -1, 0}, {-1, 0, 0}, {-1, 0, 0},
                                   {0, 0, -1}, {0, 0, -1}, {0, 0, 1},  {0, 0, 1}};

TEST(ModelTables, GivenRowsAreStoredBitForBit) {
    const ModelMaterial materials[3] = {
        {{0.0235294f, 0, 0}, {1, 1, 1}, {0.2f, 0.2f, 0.2f}, {0, 0, 0}, 1, 45.2548f, -1},
        {{0.0235294f, 0, 0},
         {0.54902f, 0.572549f, 0.580392f},
         {0.2f, 0.2f, 0.2f},
         {0, 0, 0},
         1,
         45.2548f,
         -1},
        {{0.0235294f, 0, 0},
         {0.207843f, 0.207843f, 0.207843f},
         {0.2f, 0.2f, 0.2f},
         {0, 0, 0},
         1,
         45.2548f,
         -1},
    };
    static_assert(sizeof(ModelMaterial) == 15 * 4 && sizeof(ModelFace) == 9 * 2);
    for (int m = 0; m < 3; ++m) {
        SCOPED_TRACE(m);
        EXPECT_EQ(0, std::memcmp(&materials[m], &g_materials[m], sizeof(ModelMaterial)));
    }

    const MaterialRun runs[13] = {{0, 12}, {1, 24}, {0, 24}, {1, 48}, {0, 12},  {2, 240}, {0, 60},
                                  {1, 24}, {0, 24}, {1, 48}, {0, 12}, {2, 240}, {0, 48}};
    for (int r = 0; r < 13; ++r) {
        EXPECT_EQ(runs[r].material, g_materialRuns[r].material) << "run " << r;
        EXPECT_EQ(runs[r].faceCount, g_materialRuns[r].faceCount) << "run " << r;
    }

    const ModelCoordPair coords[4] = {{1, 1}, {0, 1}, {0, 2}, {1, 2}};
    EXPECT_EQ(0, std::memcmp(coords, g_coordPairs.data(), sizeof(coords)));

    const ModelVector vertices[8] = {
        {-0.405049f, 0.5f, -0.101717f},      {-0.405049f, 0.5f, -0.286882f},
        {-0.219883f, 0.5f, -0.101717f},      {-0.219883f, 0.5f, -0.286882f},
        {-0.219883f, 0.314835f, -0.101717f}, {-0.219883f, 0.314835f, -0.286882f},
        {-0.405049f, 0.314835f, -0.101717f}, {-0.405049f, 0.314835f, -0.286882f}};
    const ModelVector normals[8] = {{0, 1, 0},
                                    {1, 0, 0},
                                    {0, -1, 1.28222e-07f},
                                    {-1, 0, 0},
                                    {0, -1.28222e-07f, -1},
                                    {0, 9.61662e-08f, 1},
                                    {0, 1, -6.41108e-08f},
                                    {0, -1, 9.61662e-08f}};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(vertices[i].x, g_vertices[i].x);
        EXPECT_EQ(vertices[i].y, g_vertices[i].y);
        EXPECT_EQ(vertices[i].z, g_vertices[i].z);
        EXPECT_EQ(normals[i].x, g_normals[i].x);
        EXPECT_EQ(normals[i].y, g_normals[i].y);
        EXPECT_EQ(normals[i].z, g_normals[i].z);
    }

    const ModelFace faces[4] = {{{3, 1, 0}, {0, 0, 0}, {0, 1, 2}},
                                {{2, 3, 0}, {0, 0, 0}, {3, 0, 2}},
                                {{5, 3, 2}, {1, 1, 1}, {2, 1, 2}},
                                {{4, 5, 2}, {1, 1, 1}, {1, 2, 2}}};
    for (int f = 0; f < 4; ++f) {
        EXPECT_EQ(0, std::memcmp(&faces[f], &g_faces[f], sizeof(ModelFace))) << "face " << f;
    }
}

// Every cube follows one face pattern over its own eight vertices.
TEST(ModelTables, EveryCubeFollowsTheFacePattern) {
    const std::int16_t pattern[12][6] = {
        {3, 1, 0, 0, 1, 2}, {2, 3, 0, 3, 0, 2}, {5, 3, 2, 2, 1, 2}, {4, 5, 2, 1, 2, 2},
        {7, 5, 4, 2, 3, 0}, {6, 7, 4, 1, 2, 0}, {1, 7, 6, 1, 2, 1}, {0, 1, 6, 2, 1, 1},
        {5, 7, 1, 3, 2, 1}, {3, 5, 1, 0, 3, 1}, {2, 0, 6, 3, 2, 1}, {4, 2, 6, 0, 3, 1}};
    for (int cube = 0; cube < kCubes; ++cube) {
        for (int j = 0; j < 12; ++j) {
            const ModelFace& face = g_faces[12 * cube + j];
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(8 * cube + pattern[j][k], face.vertex[k])
                    << "cube " << cube << " face " << j;
                EXPECT_EQ(pattern[j][3 + k], face.coord[k]) << "cube " << cube << " face " << j;
            }
        }
    }
}

// Each cube's corners, in stored order, at these ends of its extents (1 = high); a turned cube
// has its y and z ends swapped.
TEST(ModelTables, EveryCubeIsAnAxisAlignedCubeOfTheGivenEdge) {
    const int ends[8][3] = {{0, 1, 1}, {0, 1, 0}, {1, 1, 1}, {1, 1, 0},
                            {1, 0, 1}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0}};
    for (int cube = 0; cube < kCubes; ++cube) {
        SCOPED_TRACE(cube);
        const Box box = CubeBox(cube);
        EXPECT_NEAR(kEdge, box.high.x - box.low.x, kEdgeTolerance);
        EXPECT_NEAR(kEdge, box.high.y - box.low.y, kEdgeTolerance);
        EXPECT_NEAR(kEdge, box.high.z - box.low.z, kEdgeTolerance);
        const bool turned = cube >= kHalf;
        for (int i = 0; i < 8; ++i) {
            const Vec v = ToVec(g_vertices[8 * cube + i]);
            EXPECT_EQ(ends[i][0] ? box.high.x : box.low.x, v.x) << "corner " << i;
            EXPECT_EQ(ends[i][1] != turned ? box.high.y : box.low.y, v.y) << "corner " << i;
            EXPECT_EQ(ends[i][2] != turned ? box.high.z : box.low.z, v.z) << "corner " << i;
        }
    }
}

struct Range {
    double low, high;
};
constexpr Range kColumns[4] = {
    {-0.405049, -0.219883}, {-0.196738, -0.0115728}, {0.0115728, 0.196738}, {0.219884, 0.405049}};
constexpr Range kRows[5] = {{0.314835, 0.5},
                            {0.111153, 0.296318},
                            {-0.0925282, 0.0926369},
                            {-0.29621, -0.111045},
                            {-0.499891, -0.314726}};
constexpr Range kCore = {-0.0924584, 0.0927066};
constexpr Range kRelief = {-0.286882, -0.101717};
constexpr Range kCap = {-0.492455, -0.30729};

struct CellCase {
    int cube, column, row;
    Range layer;
    int material;
};
// The relief and cap cells; the core is cube 10 + 5 * column + row, all of material 2.
constexpr CellCase kReliefAndCaps[] = {
    {0, 0, 0, kRelief, 0}, {1, 0, 2, kRelief, 1}, {2, 0, 4, kRelief, 1}, {3, 1, 0, kRelief, 0},
    {4, 1, 1, kRelief, 0}, {5, 1, 3, kRelief, 1}, {6, 1, 4, kRelief, 1}, {7, 2, 2, kRelief, 1},
    {8, 3, 0, kRelief, 1}, {9, 3, 4, kRelief, 0}, {30, 0, 0, kCap, 0},   {31, 1, 0, kCap, 0},
    {32, 1, 1, kCap, 0},   {33, 3, 4, kCap, 0},
};

void ExpectCubeInCell(const CellCase& cell) {
    SCOPED_TRACE(cell.cube);
    constexpr double kTolerance = 1e-6;
    const Box box = CubeBox(cell.cube);
    EXPECT_NEAR(kColumns[cell.column].low, box.low.x, kTolerance);
    EXPECT_NEAR(kColumns[cell.column].high, box.high.x, kTolerance);
    EXPECT_NEAR(kRows[cell.row].low, box.low.y, kTolerance);
    EXPECT_NEAR(kRows[cell.row].high, box.high.y, kTolerance);
    EXPECT_NEAR(cell.layer.low, box.low.z, kTolerance);
    EXPECT_NEAR(cell.layer.high, box.high.z, kTolerance);
    for (int f = 12 * cell.cube; f < 12 * cell.cube + 12; ++f) {
        EXPECT_EQ(cell.material, MaterialOfFace(f)) << "face " << f;
        EXPECT_EQ(cell.material, MaterialOfFace(f + 12 * kHalf)) << "face " << f + 12 * kHalf;
    }
}

TEST(ModelTables, FirstHalfCubesSitInTheirCellsWithTheirMaterials) {
    for (const CellCase& cell : kReliefAndCaps) {
        ExpectCubeInCell(cell);
    }
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 5; ++row) {
            ExpectCubeInCell({10 + 5 * column + row, column, row, kCore, 2});
        }
    }
}

TEST(ModelTables, SecondHalfIsTheFirstHalfTurnedAboutX) {
    for (int i = 0; i < 8 * kHalf; ++i) {
        SCOPED_TRACE(i);
        const Vec turned = Turned(ToVec(g_vertices[i]));
        const Vec twin = ToVec(g_vertices[8 * kHalf + i]);
        EXPECT_NEAR(turned.x, twin.x, kMirrorTolerance);
        EXPECT_NEAR(turned.y, twin.y, kMirrorTolerance);
        EXPECT_NEAR(turned.z, twin.z, kMirrorTolerance);
    }
    for (int j = 0; j < 12 * kHalf; ++j) {
        SCOPED_TRACE(j);
        const ModelFace& face = g_faces[j];
        const ModelFace& twin = g_faces[12 * kHalf + j];
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(face.vertex[k] + 8 * kHalf, twin.vertex[k]);
            EXPECT_EQ(face.coord[k], twin.coord[k]);
            const Vec turned = Turned(ToVec(g_normals[face.normal[k]]));
            const Vec normal = ToVec(g_normals[twin.normal[k]]);
            EXPECT_NEAR(turned.x, normal.x, kTurnedNormalTolerance);
            EXPECT_NEAR(turned.y, normal.y, kTurnedNormalTolerance);
            EXPECT_NEAR(turned.z, normal.z, kTurnedNormalTolerance);
        }
        EXPECT_EQ(MaterialOfFace(j), MaterialOfFace(12 * kHalf + j));
    }
}

// Back faces are culled, so every triangle must turn counter-clockwise seen from outside, and its
// normal must point out of its own side.
TEST(ModelTables, FacesWindCounterClockwiseAroundOutwardNormals) {
    for (int f = 0; f < 816; ++f) {
        SCOPED_TRACE(f);
        const ModelFace& face = g_faces[f];
        ASSERT_EQ(face.normal[0], face.normal[1]);
        ASSERT_EQ(face.normal[0], face.normal[2]);
        const Vec normal = ToVec(g_normals[face.normal[0]]);
        const Vec a = ToVec(g_vertices[face.vertex[0]]);
        const Vec b = ToVec(g_vertices[face.vertex[1]]);
        const Vec c = ToVec(g_vertices[face.vertex[2]]);
        const Vec winding = Cross(b - a, c - a);
        EXPECT_GT(Dot(winding, normal) / Length(winding), 0.999999);

        const int cube = f / 12;
        const Box box = CubeBox(cube);
        const Vec centre = {(box.low.x + box.high.x) / 2, (box.low.y + box.high.y) / 2,
                            (box.low.z + box.high.z) / 2};
        const Vec faceCentre = {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3,
                                (a.z + b.z + c.z) / 3};
        EXPECT_GT(Dot(faceCentre - centre, normal), 0);
        const Vec side = kPatternSides[f % 12];
        EXPECT_GT(Dot(cube < kHalf ? side : Turned(side), normal), 0.999999);
    }
}

TEST(ModelTables, NormalsAreUnitAxisVectorsAllUsedInOrderOfFirstUse) {
    for (int n = 0; n < 33; ++n) {
        SCOPED_TRACE(n);
        const ModelVector& v = g_normals[n];
        const float components[3] = {std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)};
        EXPECT_EQ(1, std::count(components, components + 3, 1.0f));
        EXPECT_EQ(2, std::count_if(components, components + 3,
                                   [](float c) { return c <= kMaxResidual; }));
        EXPECT_NEAR(1, Length(ToVec(v)), 1e-12);
    }
    int nextNew = 0;
    for (const ModelFace& face : g_faces) {
        if (face.normal[0] == nextNew) {
            ++nextNew;
        }
        EXPECT_LT(face.normal[0], nextNew) << "a row used before the rows above it";
    }
    EXPECT_EQ(33, nextNew);
}

TEST(ModelTables, EveryVertexIsUsedAndTheFigureFitsItsBounds) {
    std::set<int> used;
    for (const ModelFace& face : g_faces) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_GE(face.vertex[k], 0);
            ASSERT_LT(face.vertex[k], 544);
            ASSERT_GE(face.coord[k], 0);
            ASSERT_LT(face.coord[k], 4);
            used.insert(face.vertex[k]);
        }
    }
    EXPECT_EQ(544u, used.size());

    Box bounds = {ToVec(g_vertices[0]), ToVec(g_vertices[0])};
    double radius = 0;
    for (int cube = 0; cube < kCubes; ++cube) {
        const Box box = CubeBox(cube);
        bounds.low = {std::min(bounds.low.x, box.low.x), std::min(bounds.low.y, box.low.y),
                      std::min(bounds.low.z, box.low.z)};
        bounds.high = {std::max(bounds.high.x, box.high.x), std::max(bounds.high.y, box.high.y),
                       std::max(bounds.high.z, box.high.z)};
    }
    for (const ModelVector& v : g_vertices) {
        radius = std::max(radius, Length(ToVec(v)));
    }
    EXPECT_NEAR(-0.405049, bounds.low.x, 1e-6);
    EXPECT_NEAR(0.405049, bounds.high.x, 1e-6);
    EXPECT_NEAR(-0.5, bounds.low.y, 1e-6);
    EXPECT_NEAR(0.5, bounds.high.y, 1e-6);
    EXPECT_NEAR(-0.492455, bounds.low.z, 1e-6);
    EXPECT_NEAR(0.492455, bounds.high.z, 1e-6);
    EXPECT_NEAR(0.810294, radius, 1e-6);
}

TEST(ModelTables, RunsCoverEveryFaceOnceOnCubeBoundaries) {
    int start = 0;
    int perMaterial[3] = {};
    for (const MaterialRun& run : g_materialRuns) {
        SCOPED_TRACE(start);
        EXPECT_GE(run.faceCount, 1);
        EXPECT_EQ(0, start % 12);
        EXPECT_EQ(0, run.faceCount % 12);
        ASSERT_GE(run.material, 0);
        ASSERT_LT(run.material, 3);
        perMaterial[run.material] += run.faceCount;
        start += run.faceCount;
    }
    EXPECT_EQ(816, start);
    EXPECT_EQ(192, perMaterial[0]);
    EXPECT_EQ(144, perMaterial[1]);
    EXPECT_EQ(480, perMaterial[2]);
}

} // namespace
