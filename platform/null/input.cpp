// The null backend's events: there is no keyboard and no window to close,
// so only scripted input and posted quit messages reach the queue.
#include "platform/shared/input_queue.h"

void inputBackendPump()
{
    // Turn the system's waiting events into inputQueueChar(), inputQueueClose(),
    // inputQueueScreenshot(), inputQueueFullscreen() and inputKeyReport() calls.
}
