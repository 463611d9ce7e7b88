// Switches the audio test controls set and the DirectSound and FMOD objects read: scripted
// failures of device creation, cooperative level, primary format and FMOD's start, and the
// list of live secondary buffers (to lose them all or count them). Game thread only.
#pragma once

#include <vireo/platform/DSound.h>

#include <vector>

namespace vireo::platform::audio {

class CSoundBuffer;

struct DirectSoundFaults {
    HRESULT create = DS_OK;
    HRESULT cooperativeLevel = DS_OK;
    HRESULT primaryFormat = DS_OK;
};
DirectSoundFaults& DsFaults();
bool& FmodInitFails();

std::vector<CSoundBuffer*>& LiveSecondaryBuffers();

} // namespace vireo::platform::audio
