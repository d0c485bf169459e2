#pragma once
// Switching the OpenGL material between triangle batches while the figure is compiled.

#include <windows.h>

#include <GL/gl.h>

// glMaterialfv for front and back faces with (rgb[0], rgb[1], rgb[2], alpha).
void SetMaterialColor(GLenum parameter, const GLfloat* rgb, GLfloat alpha);

// Ends the open GL_TRIANGLES batch, sets row `index` of g_materials, opens a new batch.
void SelectMaterial(int index);
