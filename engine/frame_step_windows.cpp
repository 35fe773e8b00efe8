#include "engine/frame_step.h"

void FrameStep(HDC deviceContext, uint32_t density, uint32_t size)
{
    DrawFrame(density, size);
    SwapBuffers(deviceContext);
}
