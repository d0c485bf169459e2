#pragma once
// The saver's picture drawn the fastest way this GL offers: the figure in vertex buffer objects
// made once, every distinct corner (a vertex with its normal) stored once and the faces as 16-bit
// indices grouped by material, so that a frame costs three material changes and three draws. The
// baseline that says what the saver's display list costs.

// Needs a current context with InitScene's lights and projection. False when the GL 1.5 buffer
// entry points are missing.
bool MakeBufferFigure();

// Clears and draws one frame at the current angles with the same transforms as DrawScene.
void DrawBufferFigure();
