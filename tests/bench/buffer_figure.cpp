#include "tests/bench/buffer_figure.h"

#include "model/material.h"
#include "model/model.h"
#include "render/scene.h"

#include <GL/glext.h>

#include <array>
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

std::array<Batch, kMaterialCount> g_batches = {};

// Per material, the corners of its faces in table order; corners shared by faces are stored once.
std::array<std::vector<GLushort>, kMaterialCount> IndexFaces(std::vector<Corner>& corners) {
    std::array<std::vector<GLushort>, kMaterialCount> indices;
    std::vector<int> cornerIndex(std::size_t(kVertexCount) * kNormalCount, -1);
    int run = 0;
    int facesLeft = 0;
    int material = 0;
    for (const ModelFace& face : g_faces) {
        if (facesLeft == 0) {
            material = g_materialRuns[run].material;
            facesLeft = g_materialRuns[run].faceCount;
            ++run;
        }
        --facesLeft;
        for (int k = 0; k < 3; ++k) {
            int& index = cornerIndex[std::size_t(face.vertex[k]) * kNormalCount + face.normal[k]];
            if (index < 0) {
                index = int(corners.size());
                corners.push_back({g_normals[face.normal[k]], g_vertices[face.vertex[k]]});
            }
            indices[material].push_back(GLushort(index));
        }
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
    const auto indices = IndexFaces(corners);
    std::vector<GLushort> allIndices;
    for (int material = 0; material < kMaterialCount; ++material) {
        g_batches[material] = {material, GLsizei(indices[material].size()),
                               allIndices.size() * sizeof(GLushort)};
        allIndices.insert(allIndices.end(), indices[material].begin(), indices[material].end());
    }

    GLuint buffers[2] = {};
    genBuffers(2, buffers);
    bindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    bufferData(GL_ARRAY_BUFFER, GLsizeiptr(corners.size() * sizeof(Corner)), corners.data(),
               GL_STATIC_DRAW);
    bindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    bufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(allIndices.size() * sizeof(GLushort)),
               allIndices.data(), GL_STATIC_DRAW);
    // With a buffer bound, the pointers are offsets into it.
    glNormalPointer(GL_FLOAT, sizeof(Corner),
                    reinterpret_cast<const void*>(offsetof(Corner, normal)));
    glVertexPointer(3, GL_FLOAT, sizeof(Corner),
                    reinterpret_cast<const void*>(offsetof(Corner, position)));
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    return true;
}

void DrawBufferFigure() {
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
    for (const Batch& batch : g_batches) {
        SetMaterial(batch.material);
        glDrawElements(GL_TRIANGLES, batch.indexCount, GL_UNSIGNED_SHORT,
                       reinterpret_cast<const void*>(batch.firstIndexOffset));
    }
    glDisable(GL_CULL_FACE);
    glPopMatrix();
}
