// What the testing header controls about presenting: a count of frames handed over and a
// script of device losses to report. Private to the platform layer.
#pragma once

namespace vireo::platform {

int PresentCount();
void ResetPresentCount();
// The next `count` PresentFrame calls report DeviceLost without reaching the back end.
void ScriptDeviceLoss(int count);

} // namespace vireo::platform
