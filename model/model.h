#pragma once
// The figure: constant mesh tables, read once when the scene compiles them into a display list.

#include <stdint.h>

// The container of the tables: a fixed array that can be built at compile time, with what the
// scene and the tests use of it. The saver links no C++ library, so it is written out here.
template <typename Row, int kRows> struct ModelTable {
    Row rows[kRows];

    constexpr Row& operator[](int index) {
        return rows[index];
    }
    constexpr const Row& operator[](int index) const {
        return rows[index];
    }
    constexpr const Row* data() const {
        return rows;
    }
    constexpr const Row* begin() const {
        return rows;
    }
    constexpr const Row* end() const {
        return rows + kRows;
    }
};

struct ModelMaterial {
    float ambient[3];
    float diffuse[3];
    float specular[3];
    float emission[3];
    float alpha; // fourth component of all four colours
    float shininess;
    int32_t reserved; // -1 in every row, never read
};

struct ModelFace {
    int16_t vertex[3]; // rows of g_vertices, in drawing order
    int16_t normal[3]; // rows of g_normals, one per corner
    int16_t coord[3];  // rows of g_coordPairs, never read
};

struct MaterialRun {
    int32_t material;  // row of g_materials
    int32_t faceCount; // consecutive faces drawn with it
};

struct ModelVector {
    float x, y, z;
};

struct ModelCoordPair {
    float u, v;
};

constexpr int kMaterialCount = 3;
constexpr int kFaceCount = 816;
constexpr int kVertexCount = 544;
constexpr int kNormalCount = 33;
constexpr int kCoordPairCount = 4;
constexpr int kMaterialRunCount = 13;

extern const ModelTable<ModelMaterial, kMaterialCount> g_materials;
extern const ModelTable<ModelFace, kFaceCount> g_faces;
extern const ModelTable<ModelVector, kVertexCount> g_vertices;
extern const ModelTable<ModelVector, kNormalCount> g_normals;
extern const ModelTable<ModelCoordPair, kCoordPairCount> g_coordPairs;
extern const ModelTable<MaterialRun, kMaterialRunCount> g_materialRuns;
