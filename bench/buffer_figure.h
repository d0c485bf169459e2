#pragma once
// The saver's picture from vertex buffer objects made once: every distinct corner (a vertex with
// its normal) stored once and the faces as 16-bit indices. Drawn in the saver's own material runs,
// it shows what the display list itself costs; grouped by material (three material changes and
// three draws a frame), it is the fastest way this GL offers to draw the same picture.

enum class BatchOrder { SaverRuns, ByMaterial };

// Needs a current context with InitScene's lights and projection. False when the GL 1.5 buffer
// entry points are missing.
bool MakeBufferFigure();

// Clears and draws one frame at the current angles with the same transforms as DrawScene.
void DrawBufferFigure(BatchOrder order);
