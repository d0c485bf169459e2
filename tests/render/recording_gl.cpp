// Built with _GDI32_ so that the platform's GL headers declare these entry points without
// dllimport: the definitions below then get the headers' exact signatures and calling convention,
// and the import library gives the same decorated names (_glBegin@4 on i686) as opengl32's.
#include "tests/render/recording_gl.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

namespace {

constexpr std::size_t kCapacity = 16384;
RecordedGlCall g_calls[kCapacity];
std::size_t g_count = 0;

void Record(const char* name, std::initializer_list<double> arguments) {
    if (g_count == kCapacity) {
        return;
    }
    RecordedGlCall& call = g_calls[g_count++];
    call = {};
    call.name = name;
    for (double argument : arguments) {
        call.arguments[call.argumentCount++] = argument;
    }
}

} // namespace

extern "C" {

const RecordedGlCall* RecordedGlCalls(std::size_t* count) {
    *count = g_count;
    return g_calls;
}

void ClearRecordedGlCalls() {
    g_count = 0;
}

#define EXPORT __declspec(dllexport)

// No rendering context is ever made: a program that uses this stand-in runs as it would where the
// platform refuses one.
EXPORT HGLRC WINAPI wglCreateContext(HDC deviceContext) {
    Record("wglCreateContext", {double(reinterpret_cast<UINT_PTR>(deviceContext))});
    return nullptr;
}
EXPORT BOOL WINAPI wglMakeCurrent(HDC deviceContext, HGLRC context) {
    Record("wglMakeCurrent", {double(reinterpret_cast<UINT_PTR>(deviceContext)),
                              double(reinterpret_cast<UINT_PTR>(context))});
    return context == nullptr && deviceContext == nullptr;
}
EXPORT BOOL WINAPI wglDeleteContext(HGLRC context) {
    Record("wglDeleteContext", {double(reinterpret_cast<UINT_PTR>(context))});
    return FALSE;
}
EXPORT GLuint APIENTRY glGenLists(GLsizei range) {
    Record("glGenLists", {double(range)});
    return kRecordedListName;
}
EXPORT void APIENTRY glNewList(GLuint list, GLenum mode) {
    Record("glNewList", {double(list), double(mode)});
}
EXPORT void APIENTRY glEndList() {
    Record("glEndList", {});
}
EXPORT void APIENTRY glCallList(GLuint list) {
    Record("glCallList", {double(list)});
}
EXPORT void APIENTRY glBegin(GLenum mode) {
    Record("glBegin", {double(mode)});
}
EXPORT void APIENTRY glEnd() {
    Record("glEnd", {});
}
EXPORT void APIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    Record("glNormal3f", {x, y, z});
}
EXPORT void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    Record("glVertex3f", {x, y, z});
}
EXPORT void APIENTRY glMaterialfv(GLenum face, GLenum name, const GLfloat* values) {
    Record("glMaterialfv",
           {double(face), double(name), values[0], values[1], values[2], values[3]});
}
EXPORT void APIENTRY glMaterialf(GLenum face, GLenum name, GLfloat value) {
    Record("glMaterialf", {double(face), double(name), value});
}
EXPORT void APIENTRY glLightfv(GLenum light, GLenum name, const GLfloat* values) {
    Record("glLightfv", {double(light), double(name), values[0], values[1], values[2], values[3]});
}
EXPORT void APIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    Record("glClearColor", {red, green, blue, alpha});
}
EXPORT void APIENTRY glClear(GLbitfield mask) {
    Record("glClear", {double(mask)});
}
EXPORT void APIENTRY glShadeModel(GLenum mode) {
    Record("glShadeModel", {double(mode)});
}
EXPORT void APIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    Record("glViewport", {double(x), double(y), double(width), double(height)});
}
EXPORT void APIENTRY glMatrixMode(GLenum mode) {
    Record("glMatrixMode", {double(mode)});
}
EXPORT void APIENTRY glLoadIdentity() {
    Record("glLoadIdentity", {});
}
EXPORT void APIENTRY glPushMatrix() {
    Record("glPushMatrix", {});
}
EXPORT void APIENTRY glPopMatrix() {
    Record("glPopMatrix", {});
}
EXPORT void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    Record("glTranslatef", {x, y, z});
}
EXPORT void APIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    Record("glRotatef", {angle, x, y, z});
}
EXPORT void APIENTRY glEnable(GLenum capability) {
    Record("glEnable", {double(capability)});
}
EXPORT void APIENTRY glDisable(GLenum capability) {
    Record("glDisable", {double(capability)});
}
EXPORT void APIENTRY gluPerspective(GLdouble fieldOfView, GLdouble aspect, GLdouble zNear,
                                    GLdouble zFar) {
    Record("gluPerspective", {fieldOfView, aspect, zNear, zFar});
}

} // extern "C"
