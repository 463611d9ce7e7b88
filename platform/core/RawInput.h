// The seam between the back ends, which see keyboard and mouse events, and the
// DirectInput-style devices, which buffer them. Back ends (and the testing header) deliver
// events here already translated to DirectInput terms; the devices install the sink.
#pragma once

#include <vireo/platform/Win32.h>

namespace vireo::platform {

struct RawInputEvent {
    enum class Kind {
        Key,         // code: DIK_ scan code (0-255); value: 1 down, 0 up
        MouseButton, // code: button 0-3 (left, right, middle, extra); value: 1 down, 0 up
        MouseMotion, // code: 0 x axis, 1 y axis; value: relative movement in pixels
        MouseWheel,  // value: signed delta, 120 per notch
    };
    Kind kind;
    int code;
    int value;
    DWORD timeMs; // GetTickCount() when the event happened
};

using RawInputSink = void (*)(const RawInputEvent& event, void* user);

// One sink for the process: the DirectInput layer. Without a sink events are dropped.
void SetRawInputSink(RawInputSink sink, void* user);
void DeliverRawInput(const RawInputEvent& event);

} // namespace vireo::platform
