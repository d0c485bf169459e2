#pragma once
// A stand-in for opengl32 and glu32, built as a DLL of its own: the scene's calls are recorded
// with their arguments instead of drawn. Only the entry points the scene and the model use exist,
// and those of the rendering context, which it refuses to make.

#include <cstddef>

struct RecordedGlCall {
    const char* name; // the entry point, e.g. "glBegin"
    int argumentCount;
    double arguments[6]; // enums, integers and floats alike, exactly
};

// The list name glGenLists hands out, so that tests can follow it.
constexpr unsigned kRecordedListName = 7;

#ifdef MOSKEL_RECORDING_GL_BUILD
#define MOSKEL_RECORDING_GL_API __declspec(dllexport)
#else
#define MOSKEL_RECORDING_GL_API __declspec(dllimport)
#endif

extern "C" MOSKEL_RECORDING_GL_API const RecordedGlCall* RecordedGlCalls(std::size_t* count);
extern "C" MOSKEL_RECORDING_GL_API void ClearRecordedGlCalls();
