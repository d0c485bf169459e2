#include "model/model.h"

// The figure is 68 axis-aligned cubes: a slab of 4 by 5 dark cubes with a relief of white and
// blue-grey cubes on each large face. Cubes 0 to 33 are placed on a grid of cells below; cubes 34
// to 67 are the same cubes turned 180 degrees about x. The vertex and face tables are built from
// that arrangement when the program is compiled, so they are constant data like the others.

namespace {

constexpr int kFirstHalfCubes = 34;
constexpr int kCubeCount = 2 * kFirstHalfCubes;
constexpr int kCubeVertices = 8;
constexpr int kCubeFaces = 12;
static_assert(kCubeCount * kCubeVertices == kVertexCount);
static_assert(kCubeCount * kCubeFaces == kFaceCount);

struct Extent {
    float low, high;
};

// Cells of the first half along x, y and z; each is one cube edge (0.185165) long.
constexpr Extent kColumns[] = {
    {-0.405049f, -0.219883f},
    {-0.196738f, -0.0115728f},
    {0.0115728f, 0.196738f},
    {0.219884f, 0.405049f},
};
// clang-format off
constexpr Extent kRows[] = {
    {0.314835f, 0.5f},
    {0.111153f, 0.296318f},
    {-0.0925282f, 0.0926369f},
    {-0.29621f, -0.111045f},
    {-0.499891f, -0.314726f},
};
// clang-format on
enum Layer { Core, Relief, Cap };
constexpr Extent kLayers[] = {
    {-0.0924584f, 0.0927066f}, // Core
    {-0.286882f, -0.101717f},  // Relief
    {-0.492455f, -0.30729f},   // Cap
};

enum Material { White, BlueGrey, DarkGrey }; // rows of g_materials

struct Cell {
    int column;
    int row;
    Layer layer;
    Material material;
};

// clang-format off
constexpr Cell kCells[kFirstHalfCubes] = {
    // Relief, cubes 0 to 9.
    {0, 0, Relief, White}, {0, 2, Relief, BlueGrey}, {0, 4, Relief, BlueGrey},
    {1, 0, Relief, White}, {1, 1, Relief, White}, {1, 3, Relief, BlueGrey}, {1, 4, Relief, BlueGrey},
    {2, 2, Relief, BlueGrey},
    {3, 0, Relief, BlueGrey}, {3, 4, Relief, White},
    // Core, cubes 10 to 29: cube 10 + 5 * column + row, every cell filled.
    {0, 0, Core, DarkGrey}, {0, 1, Core, DarkGrey}, {0, 2, Core, DarkGrey}, {0, 3, Core, DarkGrey}, {0, 4, Core, DarkGrey},
    {1, 0, Core, DarkGrey}, {1, 1, Core, DarkGrey}, {1, 2, Core, DarkGrey}, {1, 3, Core, DarkGrey}, {1, 4, Core, DarkGrey},
    {2, 0, Core, DarkGrey}, {2, 1, Core, DarkGrey}, {2, 2, Core, DarkGrey}, {2, 3, Core, DarkGrey}, {2, 4, Core, DarkGrey},
    {3, 0, Core, DarkGrey}, {3, 1, Core, DarkGrey}, {3, 2, Core, DarkGrey}, {3, 3, Core, DarkGrey}, {3, 4, Core, DarkGrey},
    // Caps, cubes 30 to 33: outside the white relief cubes 0, 3, 4 and 9.
    {0, 0, Cap, White}, {1, 0, Cap, White}, {1, 1, Cap, White}, {3, 4, Cap, White},
};
// clang-format on

// The eight vertices of a cube, in stored order: which end of its extent on x, y and z.
struct Corner {
    bool highX, highY, highZ;
};
constexpr Corner kCorners[kCubeVertices] = {
    {false, true, true}, {false, true, false}, {true, true, true},   {true, true, false},
    {true, false, true}, {true, false, false}, {false, false, true}, {false, false, false},
};

// Sides in the order the face pattern visits them (named for cubes 0 to 33; the turn swaps +y
// with -y and +z with -z).
enum Side { PlusY, PlusX, MinusY, MinusX, MinusZ, PlusZ, kSideCount };

struct PatternFace {
    int16_t vertex[3]; // relative to the cube's first vertex
    int16_t coord[3];
    Side side;
};
// Corners counter-clockwise seen from outside.
// clang-format off
constexpr PatternFace kPattern[kCubeFaces] = {
    {{3, 1, 0}, {0, 1, 2}, PlusY},
    {{2, 3, 0}, {3, 0, 2}, PlusY},
    {{5, 3, 2}, {2, 1, 2}, PlusX},
    {{4, 5, 2}, {1, 2, 2}, PlusX},
    {{7, 5, 4}, {2, 3, 0}, MinusY},
    {{6, 7, 4}, {1, 2, 0}, MinusY},
    {{1, 7, 6}, {1, 2, 1}, MinusX},
    {{0, 1, 6}, {2, 1, 1}, MinusX},
    {{5, 7, 1}, {3, 2, 1}, MinusZ},
    {{3, 5, 1}, {0, 3, 1}, MinusZ},
    {{2, 0, 6}, {3, 2, 1}, PlusZ},
    {{4, 2, 6}, {0, 3, 1}, PlusZ},
};
// clang-format on

// Which rows of g_normals the sides of a cube use. The x sides always take the exact rows 1 and
// 3. The y and z sides come in four variants that differ only in a residual of a few 3.20554e-08
// steps on the other axis of the turn; cube k of the first half and its turned twin 34 + k use
// variant k mod 4. A turned cube takes the exact turn of its twin's row, except that the turn of
// row 17 is carried by row 29, one residual step away. Columns in the order of Side, which a
// turned cube's sides face as -y, +x, +y, -x, +z, -z.
constexpr int kNormalVariants = 4;
constexpr int16_t kSideNormals[kNormalVariants][kSideCount] = {
    {0, 1, 2, 3, 4, 5},
    {6, 1, 7, 3, 8, 9},
    {10, 1, 11, 3, 12, 13},
    {14, 1, 15, 3, 16, 17},
};
constexpr int16_t kTurnedSideNormals[kNormalVariants][kSideCount] = {
    {18, 1, 19, 3, 20, 21},
    {22, 1, 23, 3, 24, 25},
    {26, 1, 27, 3, 28, 29},
    {30, 1, 31, 3, 32, 29},
};

constexpr bool IsTurned(int cube) {
    return cube >= kFirstHalfCubes;
}

constexpr ModelTable<ModelVector, kVertexCount> MakeVertices() {
    ModelTable<ModelVector, kVertexCount> vertices = {};
    for (int cube = 0; cube < kFirstHalfCubes; ++cube) {
        const Cell& cell = kCells[cube];
        const Extent& x = kColumns[cell.column];
        const Extent& y = kRows[cell.row];
        const Extent& z = kLayers[cell.layer];
        for (int corner = 0; corner < kCubeVertices; ++corner) {
            const Corner& end = kCorners[corner];
            const ModelVector v = {end.highX ? x.high : x.low, end.highY ? y.high : y.low,
                                   end.highZ ? z.high : z.low};
            vertices[kCubeVertices * cube + corner] = v;
            vertices[kCubeVertices * (kFirstHalfCubes + cube) + corner] = {v.x, -v.y, -v.z};
        }
    }
    return vertices;
}

constexpr ModelTable<ModelFace, kFaceCount> MakeFaces() {
    ModelTable<ModelFace, kFaceCount> faces = {};
    for (int cube = 0; cube < kCubeCount; ++cube) {
        const int variant = cube % kFirstHalfCubes % kNormalVariants;
        const auto& sideNormals =
            IsTurned(cube) ? kTurnedSideNormals[variant] : kSideNormals[variant];
        for (int j = 0; j < kCubeFaces; ++j) {
            const PatternFace& pattern = kPattern[j];
            ModelFace& face = faces[kCubeFaces * cube + j];
            for (int k = 0; k < 3; ++k) {
                face.vertex[k] = static_cast<int16_t>(kCubeVertices * cube + pattern.vertex[k]);
                face.normal[k] = sideNormals[pattern.side];
                face.coord[k] = pattern.coord[k];
            }
        }
    }
    return faces;
}

// Residuals of the normals: multiples of one step of 3.20554e-08.
constexpr float kStep1 = 3.20554e-08f;
constexpr float kStep2 = 6.41108e-08f;
constexpr float kStep3 = 9.61662e-08f;
constexpr float kStep4 = 1.28222e-07f;
constexpr float kStep5 = 1.60277e-07f;
constexpr float kStep6 = 1.92332e-07f;
constexpr float kStep8 = 2.56443e-07f;

} // namespace

// Rows White, BlueGrey and DarkGrey: ambient, diffuse, specular, emission, alpha, shininess.
// clang-format off
constexpr ModelTable<ModelMaterial, kMaterialCount> g_materials = {{
    {{0.0235294f, 0, 0}, {1, 1, 1}, {0.2f, 0.2f, 0.2f}, {0, 0, 0}, 1, 45.2548f, -1},
    {{0.0235294f, 0, 0}, {0.54902f, 0.572549f, 0.580392f}, {0.2f, 0.2f, 0.2f}, {0, 0, 0}, 1, 45.2548f, -1},
    {{0.0235294f, 0, 0}, {0.207843f, 0.207843f, 0.207843f}, {0.2f, 0.2f, 0.2f}, {0, 0, 0}, 1, 45.2548f, -1},
}};
// clang-format on

constexpr ModelTable<ModelFace, kFaceCount> g_faces = MakeFaces();

constexpr ModelTable<ModelVector, kVertexCount> g_vertices = MakeVertices();

// In order of first use. Rows 0 to 17 serve cubes 0 to 33, rows 18 to 32 the turned cubes.
constexpr ModelTable<ModelVector, kNormalCount> g_normals = {{
    {0, 1, 0},        // 0: +y, variant 0
    {1, 0, 0},        // 1: +x, every cube
    {0, -1, kStep4},  // 2: -y, variant 0
    {-1, 0, 0},       // 3: -x, every cube
    {0, -kStep4, -1}, // 4: -z, variant 0
    {0, kStep3, 1},   // 5: +z, variant 0
    {0, 1, -kStep2},  // 6: +y, variant 1
    {0, -1, kStep3},  // 7: -y, variant 1
    {0, -kStep2, -1}, // 8: -z, variant 1
    {0, -kStep3, 1},  // 9: +z, variant 1
    {0, 1, kStep3},   // 10: +y, variant 2
    {0, -1, -kStep1}, // 11: -y, variant 2
    {0, kStep8, -1},  // 12: -z, variant 2
    {0, kStep5, 1},   // 13: +z, variant 2
    {0, 1, kStep5},   // 14: +y, variant 3
    {0, -1, kStep6},  // 15: -y, variant 3
    {0, -kStep1, -1}, // 16: -z, variant 3
    {0, kStep6, 1},   // 17: +z, variant 3
    {0, -1, 0},       // 18: turn of 0
    {0, 1, -kStep4},  // 19: turn of 2
    {0, kStep4, 1},   // 20: turn of 4
    {0, -kStep3, -1}, // 21: turn of 5
    {0, -1, kStep2},  // 22: turn of 6
    {0, 1, -kStep3},  // 23: turn of 7
    {0, kStep2, 1},   // 24: turn of 8
    {0, kStep3, -1},  // 25: turn of 9
    {0, -1, -kStep3}, // 26: turn of 10
    {0, 1, kStep1},   // 27: turn of 11
    {0, -kStep8, 1},  // 28: turn of 12
    {0, -kStep5, -1}, // 29: turn of 13, and of 17 to within one step
    {0, -1, -kStep5}, // 30: turn of 14
    {0, 1, -kStep6},  // 31: turn of 15
    {0, kStep1, 1},   // 32: turn of 16
}};

constexpr ModelTable<ModelCoordPair, kCoordPairCount> g_coordPairs = {{
    {1, 1},
    {0, 1},
    {0, 2},
    {1, 2},
}};

constexpr ModelTable<MaterialRun, kMaterialRunCount> g_materialRuns = {{
    {White, 12},     // cube 0
    {BlueGrey, 24},  // cubes 1, 2
    {White, 24},     // cubes 3, 4
    {BlueGrey, 48},  // cubes 5 to 8
    {White, 12},     // cube 9
    {DarkGrey, 240}, // cubes 10 to 29
    {White, 60},     // cubes 30 to 34
    {BlueGrey, 24},  // cubes 35, 36
    {White, 24},     // cubes 37, 38
    {BlueGrey, 48},  // cubes 39 to 42
    {White, 12},     // cube 43
    {DarkGrey, 240}, // cubes 44 to 63
    {White, 48},     // cubes 64 to 67
}};

namespace {

// The run table is written out as the figure's drawing order; it must follow the cells' materials
// and start every run on a cube boundary.
constexpr bool RunsFollowTheCells() {
    int face = 0;
    for (const MaterialRun& run : g_materialRuns) {
        if (run.faceCount <= 0 || run.faceCount % kCubeFaces != 0) {
            return false;
        }
        for (int end = face + run.faceCount; face < end; face += kCubeFaces) {
            if (kCells[face / kCubeFaces % kFirstHalfCubes].material != run.material) {
                return false;
            }
        }
    }
    return face == kFaceCount;
}
static_assert(RunsFollowTheCells());

} // namespace
