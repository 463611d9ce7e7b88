// PresentFrame: hands a finished frame to the active back end, counting frames and
// honouring device losses scripted by tests. It does not scale or convert pixels.
#include "platform/core/Presentation.h"

#include "platform/backend/Backend.h"
#include "platform/core/PresentControl.h"

namespace vireo::platform {
namespace {
int g_presentCount = 0;
int g_scriptedLosses = 0;
} // namespace

int PresentCount()
{
    return g_presentCount;
}
void ResetPresentCount()
{
    g_presentCount = 0;
}
void ScriptDeviceLoss(int count)
{
    g_scriptedLosses = count > 0 ? count : 0;
}

PresentResult PresentFrame(HWND window, const FrameView& frame)
{
    if (g_scriptedLosses > 0) {
        --g_scriptedLosses;
        return PresentResult::DeviceLost;
    }
    CBackend* backend = ActiveBackend();
    if (!backend)
        return PresentResult::Shown; // no back end, no window: nothing to show it on
    const PresentResult result = backend->Presenter().Present(window, frame);
    if (result == PresentResult::Shown)
        ++g_presentCount;
    return result;
}

} // namespace vireo::platform
