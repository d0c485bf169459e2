#pragma once
// The scene: the figure compiled into a display list, fixed lights and projection, one frame.

#include <windows.h>

#include <GL/gl.h>

// Turns of the figure in degrees; the frame loop advances them, DrawScene reads them.
extern GLfloat g_angleX;
extern GLfloat g_angleY;
extern GLfloat g_angleZ;
// Display list holding the figure, compiled by InitScene.
extern GLuint g_sceneList;

// Once, with a fresh context current: compiles the figure and sets lights, projection, viewport.
void InitScene(int width, int height);

// Clears and draws one frame at the current angles. Does not swap buffers.
void DrawScene(int rotate);
