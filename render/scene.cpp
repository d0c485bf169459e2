#include "render/scene.h"

#include <GL/glu.h>

#include "model/material.h"
#include "model/model.h"

constinit GLfloat g_angleX = 0;
constinit GLfloat g_angleY = 0;
constinit GLfloat g_angleZ = 0;
constinit GLuint g_sceneList = 0;

namespace {

constexpr GLdouble kFieldOfView = 60;
constexpr GLdouble kNearPlane = 1;
constexpr GLdouble kFarPlane = 20;
constexpr GLfloat kLight1Position[4] = {1, -2, 10, 0};
constexpr GLfloat kLight2Position[4] = {-2, 2, 10, 0};
constexpr GLfloat kLightColor[4] = {0.2f, 0.2f, 0.2f, 1};

// Records the figure: two turns that stand it upright, then the faces run by run. The batch
// opened before the first run is closed at once by its material change and draws nothing.
void CompileFigure() {
    glNewList(g_sceneList, GL_COMPILE);
    glRotatef(90, 0, 0, 1);
    glRotatef(90, 0, 1, 0);
    glBegin(GL_TRIANGLES);
    int run = 0;
    int facesLeft = 0;
    for (const ModelFace& face : g_faces) {
        if (facesLeft == 0) {
            SelectMaterial(g_materialRuns[run].material);
            facesLeft = g_materialRuns[run].faceCount;
            ++run;
        }
        --facesLeft;
        for (int k = 0; k < 3; ++k) {
            const ModelVector& normal = g_normals[face.normal[k]];
            const ModelVector& vertex = g_vertices[face.vertex[k]];
            glNormal3f(normal.x, normal.y, normal.z);
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
    }
    glEnd();
    glEndList();
}

// A preview window can be 0 pixels high; the aspect ratio then takes a height of 1.
GLdouble AspectRatio(int width, int height) {
    return static_cast<GLdouble>(width) / static_cast<GLdouble>(height == 0 ? 1 : height);
}

} // namespace

void InitScene(int width, int height) {
    g_sceneList = glGenLists(1);
    CompileFigure();
    g_angleX = 0;
    g_angleY = 0;
    g_angleZ = 0;

    glClearColor(0, 0, 0, 1);
    glShadeModel(GL_SMOOTH);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, AspectRatio(width, height), kNearPlane, kFarPlane);
    // The modelview matrix stays the identity of the fresh context, so the lights are given in eye
    // coordinates and do not turn with the figure.
    glMatrixMode(GL_MODELVIEW);

    glLightfv(GL_LIGHT1, GL_POSITION, kLight1Position);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, kLightColor);
    glLightfv(GL_LIGHT1, GL_SPECULAR, kLightColor);
    glLightfv(GL_LIGHT2, GL_POSITION, kLight2Position);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, kLightColor);
    glLightfv(GL_LIGHT2, GL_SPECULAR, kLightColor);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
    glEnable(GL_DEPTH_TEST);
}

// The picture depends on the angles alone; the rotate setting is passed but not read.
void DrawScene(int /*rotate*/) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(0, 0, -2);
    glRotatef(90, 1, 0, 0);
    glRotatef(g_angleX, 1, 0, 0);
    glRotatef(g_angleY, 0, 1, 0);
    glRotatef(g_angleZ, 0, 0, 1);
    glEnable(GL_CULL_FACE);
    glPushMatrix();
    glCallList(g_sceneList);
    glPopMatrix();
    glDisable(GL_CULL_FACE);
    glPopMatrix();
}
