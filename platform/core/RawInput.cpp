// The single sink for keyboard and mouse events on their way to the DirectInput devices.
// No buffering here: the devices keep their own buffers.
#include "platform/core/RawInput.h"

namespace vireo::platform {
namespace {
RawInputSink g_sink = nullptr;
void* g_user = nullptr;
} // namespace

void SetRawInputSink(RawInputSink sink, void* user)
{
    g_sink = sink;
    g_user = user;
}

void DeliverRawInput(const RawInputEvent& event)
{
    if (g_sink)
        g_sink(event, g_user);
}

} // namespace vireo::platform
