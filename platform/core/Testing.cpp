// The testing header's controls, forwarding to the clock, the code page, the presenter
// and the window code. Holds no state of its own.
#include <vireo/platform/Testing.h>

#include "platform/backend/Backend.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/core/Clock.h"
#include "platform/core/CodePage.h"
#include "platform/core/PresentControl.h"

namespace vireo::testing {

using platform::CClock;

void InstallVirtualClock() { CClock::Instance().InstallVirtual(); }
void UninstallVirtualClock() { CClock::Instance().UninstallVirtual(); }
void AdvanceClock(long long milliseconds) { CClock::Instance().AdvanceMs(milliseconds); }
void SetLocalDateTime(const SYSTEMTIME& now) { CClock::Instance().SetVirtualLocalTime(now); }

void SetAnsiCodePage(const char* name) { platform::OverrideAnsiCodePage(name); }

Frame LastPresentedFrame()
{
    Frame frame;
    auto* headless = dynamic_cast<platform::CHeadlessBackend*>(platform::ActiveBackend());
    if (headless) {
        frame.width = headless->LastFrameWidth();
        frame.height = headless->LastFrameHeight();
        frame.pixels = headless->LastFrame();
    }
    return frame;
}

int PresentCount() { return platform::PresentCount(); }
void ResetPresentCount() { platform::ResetPresentCount(); }
void FailNextPresents(int count) { platform::ScriptDeviceLoss(count); }

}  // namespace vireo::testing
