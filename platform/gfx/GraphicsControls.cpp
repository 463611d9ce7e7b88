// The test controls of D3D9Testing.h over the process-wide switches the device reads.
// Reading the back buffer copies it, so a test can keep it across later frames.
#include "platform/gfx/GraphicsControls.h"

#include "platform/gfx/Device.h"

#include <vireo/platform/D3D9Testing.h>

namespace vireo::gfx {

SGraphicsControls& Controls()
{
    static SGraphicsControls controls;
    return controls;
}

void CountTexture(D3DPOOL pool, int delta)
{
    auto& c = Controls();
    if (pool == D3DPOOL_DEFAULT)
        c.texturesDefault += delta;
    else if (pool == D3DPOOL_MANAGED)
        c.texturesManaged += delta;
    else
        c.texturesOther += delta;
}

} // namespace vireo::gfx

namespace vireo::testing {

using gfx::Controls;

void ResetGraphicsControls()
{
    auto& c = Controls();
    c.loseNextPresent = false;
    c.loseEveryPresent = false;
    c.cooperativeLevelResults.clear();
    c.resetResults.clear();
    c.halUnavailable = false;
    c.refusedDepthFormat = D3DFMT_UNKNOWN;
}

void LoseDeviceOnNextPresent()
{
    Controls().loseNextPresent = true;
}
void LoseDeviceOnEveryPresent(bool every)
{
    Controls().loseEveryPresent = every;
}

void QueueCooperativeLevelResults(std::vector<HRESULT> results)
{
    for (HRESULT hr : results)
        Controls().cooperativeLevelResults.push_back(hr);
}

void QueueResetResults(std::vector<HRESULT> results)
{
    for (HRESULT hr : results)
        Controls().resetResults.push_back(hr);
}

void SetHalUnavailable(bool unavailable)
{
    Controls().halUnavailable = unavailable;
}
void RefuseDepthFormat(D3DFORMAT format)
{
    Controls().refusedDepthFormat = format;
}

Frame ReadBackBuffer(IDirect3DDevice9* device)
{
    Frame frame;
    gfx::CDevice* dev = gfx::AsDevice(device);
    if (!dev)
        return frame;
    gfx::CSurface& back = dev->BackBuffer();
    frame.width = static_cast<int>(back.Desc().Width);
    frame.height = static_cast<int>(back.Desc().Height);
    frame.pixels.assign(back.Pixels(), back.Pixels() + static_cast<size_t>(frame.width) * frame.height);
    return frame;
}

int PresentedFrameCount(IDirect3DDevice9* device)
{
    gfx::CDevice* dev = gfx::AsDevice(device);
    return dev ? dev->PresentedFrames() : 0;
}

LiveObjects CountLiveObjects()
{
    const auto& c = Controls();
    return {c.devices, c.texturesDefault, c.texturesManaged, c.texturesOther, c.sprites, c.lines};
}

int ResetBlockers(IDirect3DDevice9* device)
{
    gfx::CDevice* dev = gfx::AsDevice(device);
    return dev ? dev->ResetBlockers() : 0;
}

} // namespace vireo::testing
