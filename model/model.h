#pragma once
// The figure: constant mesh tables, read once when the scene compiles them into a display list.

#include <array>
#include <cstdint>

struct ModelMaterial {
    float ambient[3];
    float diffuse[3];
    float specular[3];
    float emission[3];
    float alpha; // fourth component of all four colours
    float shininess;
    std::int32_t reserved; // -1 in every row, never read
};

struct ModelFace {
    std::int16_t vertex[3]; // rows of g_vertices, in drawing order
    std::int16_t normal[3]; // rows of g_normals, one per corner
    std::int16_t coord[3];  // rows of g_coordPairs, never read
};

struct MaterialRun {
    std::int32_t material;  // row of g_materials
    std::int32_t faceCount; // consecutive faces drawn with it
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

extern const std::array<ModelMaterial, kMaterialCount> g_materials;
extern const std::array<ModelFace, kFaceCount> g_faces;
extern const std::array<ModelVector, kVertexCount> g_vertices;
extern const std::array<ModelVector, kNormalCount> g_normals;
extern const std::array<ModelCoordPair, kCoordPairCount> g_coordPairs;
extern const std::array<MaterialRun, kMaterialRunCount> g_materialRuns;
