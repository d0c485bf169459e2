#include "bench/buffer_figure.h"

#include "model/material.h"
#include "model/model.h"
#include "render/scene.h"

#include <GL/glext.h>

#include <cstddef>
#include <vector>

namespace {

struct Corner {
    ModelVector normal;
    ModelVector position;
};

struct Batch {
    int material;
    GLsizei indexCount;
    std::size_t firstIndexOffset; // bytes into the index buffer
};

std::vector<Batch> g_runBatches;
std::vector<Batch> g_materialBatches;

// The three corners of every face in table order; corners shared by faces are stored once.
std::vector<GLushort> IndexFaces(std::vector<Corner>& corners) {
    std::vector<GLushort> faceCorners;
    std::vector<int> cornerIndex(std::size_t(kVertexCount) * kNormalCount, -1);
    for (const ModelFace& face : g_faces) {
        for (int k = 0; k < 3; ++k) {
            int& index = cornerIndex[std::size_t(face.vertex[k]) * kNormalCount + face.normal[k]];
            if (index < 0) {
                index = int(corners.size());
                corners.push_back({g_normals[face.normal[k]], g_vertices[face.vertex[k]]});
            }
            faceCorners.push_back(GLushort(index));
        }
    }
    return faceCorners;
}

// Appends the given faces to the index buffer's contents as one batch.
Batch AppendBatch(std::vector<GLushort>& indices, int material,
                  std::vector<GLushort>::const_iterator first, GLsizei count) {
    const Batch batch = {material, count, indices.size() * sizeof(GLushort)};
    indices.insert(indices.end(), first, first + count);
    return batch;
}

// The faces twice: run by run as the saver draws them, then grouped by material.
std::vector<GLushort> Batches(const std::vector<GLushort>& faceCorners) {
    std::vector<GLushort> indices;
    auto runStart = faceCorners.begin();
    for (const MaterialRun& run : g_materialRuns) {
        g_runBatches.push_back(AppendBatch(indices, run.material, runStart, run.faceCount * 3));
        runStart += run.faceCount * 3;
    }
    for (int material = 0; material < kMaterialCount; ++material) {
        Batch grouped = {material, 0, indices.size() * sizeof(GLushort)};
        runStart = faceCorners.begin();
        for (const MaterialRun& run : g_materialRuns) {
            if (run.material == material) {
                grouped.indexCount +=
                    AppendBatch(indices, material, runStart, run.faceCount * 3).indexCount;
            }
            runStart += run.faceCount * 3;
        }
        g_materialBatches.push_back(grouped);
    }
    return indices;
}

// The generic function type in between tells the compiler that the types differ on purpose.
template <typename Function> Function GlEntry(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

void SetMaterial(int index) {
    const ModelMaterial& material = g_materials[index];
    SetMaterialColor(GL_AMBIENT, material.ambient, material.alpha);
    SetMaterialColor(GL_DIFFUSE, material.diffuse, material.alpha);
    SetMaterialColor(GL_SPECULAR, material.specular, material.alpha);
    SetMaterialColor(GL_EMISSION, material.emission, material.alpha);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.shininess);
}

} // namespace

bool MakeBufferFigure() {
    const auto genBuffers = GlEntry<PFNGLGENBUFFERSPROC>("glGenBuffers");
    const auto bindBuffer = GlEntry<PFNGLBINDBUFFERPROC>("glBindBuffer");
    const auto bufferData = GlEntry<PFNGLBUFFERDATAPROC>("glBufferData");
    if (genBuffers == nullptr || bindBuffer == nullptr || bufferData == nullptr) {
        return false;
    }
    std::vector<Corner> corners;
    const std::vector<GLushort> indices = Batches(IndexFaces(corners));

    GLuint buffers[2] = {};
    genBuffers(2, buffers);
    bindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    bufferData(GL_ARRAY_BUFFER, GLsizeiptr(corners.size() * sizeof(Corner)), corners.data(),
               GL_STATIC_DRAW);
    bindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    bufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(GLushort)),
               indices.data(), GL_STATIC_DRAW);
    // With a buffer bound, the pointers are offsets into it.
    glNormalPointer(GL_FLOAT, sizeof(Corner),
                    reinterpret_cast<const void*>(offsetof(Corner, normal)));
    glVertexPointer(3, GL_FLOAT, sizeof(Corner),
                    reinterpret_cast<const void*>(offsetof(Corner, position)));
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    return true;
}

void DrawBufferFigure(BatchOrder order) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(0, 0, -2);
    glRotatef(90, 1, 0, 0);
    glRotatef(g_angleX, 1, 0, 0);
    glRotatef(g_angleY, 0, 1, 0);
    glRotatef(g_angleZ, 0, 0, 1);
    glEnable(GL_CULL_FACE);
    // The turns that the saver records at the head of its display list.
    glRotatef(90, 0, 0, 1);
    glRotatef(90, 0, 1, 0);
    for (const Batch& batch : order == BatchOrder::SaverRuns ? g_runBatches : g_materialBatches) {
        SetMaterial(batch.material);
        glDrawElements(GL_TRIANGLES, batch.indexCount, GL_UNSIGNED_SHORT,
                       reinterpret_cast<const void*>(batch.firstIndexOffset));
    }
    glDisable(GL_CULL_FACE);
    glPopMatrix();
}
