// Test controls of the software Direct3D 9 device: injected device loss and scripted recovery,
// refused device types and depth formats, the back buffer's pixels and live-object counts.
// Switches of the real device, process-wide; ResetGraphicsControls() returns to normal.
#pragma once

#include <vireo/platform/D3D9.h>
#include <vireo/platform/Testing.h>

#include <cstdint>
#include <vector>

namespace vireo::testing {

// Everything below back to normal behaviour (queues emptied, nothing refused).
void ResetGraphicsControls();

// The next Present (or, with every = true, each Present until switched off) reports
// D3DERR_DEVICELOST without showing the frame; the device then stays lost until Reset.
void LoseDeviceOnNextPresent();
void LoseDeviceOnEveryPresent(bool every);

// Answers given, first in first out, before the device's own: TestCooperativeLevel pops one
// per call. Reset pops one per call; a failure is returned as is (the device stays lost), a
// success goes on to the real reset, which may still refuse.
void QueueCooperativeLevelResults(std::vector<HRESULT> results);
void QueueResetResults(std::vector<HRESULT> results);

// CreateDevice (and GetDeviceCaps) for D3DDEVTYPE_HAL fail with D3DERR_NOTAVAILABLE.
void SetHalUnavailable(bool unavailable);
// CreateDevice asking for this automatic depth format fails with D3DERR_NOTAVAILABLE
// (D3DFMT_UNKNOWN refuses nothing).
void RefuseDepthFormat(D3DFORMAT format);

// A copy of the device's back buffer as it is now (what the next Present would show; the
// last shown frame is LastPresentedFrame of Testing.h).
Frame ReadBackBuffer(IDirect3DDevice9* device);
// How many times Present handed a frame to the back end on this device.
int PresentedFrameCount(IDirect3DDevice9* device);

// Live objects across all devices. Textures and surfaces count per pool (the implicit back
// buffer is not counted); sprites and lines count as objects.
struct LiveObjects {
    int devices = 0;
    int texturesDefault = 0;
    int texturesManaged = 0;
    int texturesOther = 0;
    int sprites = 0;
    int lines = 0;
};
LiveObjects CountLiveObjects();
// What blocks Reset on this device: default-pool resources plus D3DX objects that have not
// been told OnLostDevice.
int ResetBlockers(IDirect3DDevice9* device);

} // namespace vireo::testing
