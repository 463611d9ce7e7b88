// FMOD-style samples, channels and songs over the mixer. Samples are decoded whole at load;
// a channel is one mixer voice, its handle the index plus a use count; a song is a parsed
// MIDI file sequenced into the shared synthesizer. Game thread only, like the original's
// non-stream calls. No streams, DSP units, 3D, CD or recording.
#include "platform/audio/AudioFaults.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/SampleDecoder.h"
#include "platform/audio/SongPlayer.h"
#include "platform/core/CodePage.h"
#include "platform/core/PathText.h"

#include <vireo/platform/Fmod.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <vector>

struct FSOUND_SAMPLE {
    vireo::platform::audio::DecodedSample pcm;
    std::uint32_t frames = 0;
    unsigned int mode = FSOUND_LOOP_OFF;
    int frequency = 0;
    int volume = 255;
    int pan = 128;
    int priority = 128;
};

struct FMUSIC_MODULE {
    vireo::platform::audio::MidiSong song;
    bool looping = true;
    int volume = 256;
};

namespace {

using vireo::platform::audio::CMixer;
using vireo::platform::audio::CSongPlayer;
using vireo::platform::audio::Voice;

constexpr int kIndexBits = 12;
constexpr int kMaxChannels = 1 << kIndexBits;
constexpr std::size_t kMaxFileBytes = 256u << 20;

struct Channel {
    int voice = -1;
    unsigned use = 0;
    FSOUND_SAMPLE* sample = nullptr;
    int volume = 255;
    int pan = 128;
    int frequency = 0;
    bool mute = false;
    bool paused = false;
    bool pausedPlaying = false; // it was sounding when paused
    std::uint64_t started = 0;
};

struct FmodState {
    bool initialised = false;
    int error = FMOD_ERR_NONE;
    int sfxVolume = 255;
    std::uint64_t starts = 0;
    std::vector<Channel> channels;
    std::set<FSOUND_SAMPLE*> samples;
    std::set<FMUSIC_MODULE*> songs;
    FMUSIC_MODULE* playing = nullptr; // the song the player sounds
    CSongPlayer player;
};

FmodState& State()
{
    static FmodState state;
    return state;
}

CMixer& Mixer()
{
    return CMixer::Instance();
}

template <class T> T Fail(int error, T value)
{
    State().error = error;
    return value;
}

signed char Done()
{
    State().error = FMOD_ERR_NONE;
    return 1;
}

Channel* Resolve(int handle)
{
    FmodState& s = State();
    if (!s.initialised || handle < 0)
        return nullptr;
    const auto index = static_cast<std::size_t>(handle & (kMaxChannels - 1));
    if (index >= s.channels.size() || s.channels[index].use != static_cast<unsigned>(handle) >> kIndexBits)
        return nullptr;
    return &s.channels[index];
}

// Runs `change` on the channel `handle` names, or on every channel for FSOUND_ALL.
template <class F> signed char ForChannels(int handle, F&& change)
{
    FmodState& s = State();
    if (!s.initialised)
        return Fail<signed char>(FMOD_ERR_UNINITIALIZED, 0);
    if (handle == FSOUND_ALL) {
        for (Channel& channel : s.channels)
            change(channel);
        return Done();
    }
    Channel* channel = Resolve(handle);
    if (!channel)
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    change(*channel);
    return Done();
}

// Balance rather than a pan law: the centre leaves both sides at full level.
void ApplyGains(Channel& channel)
{
    const float level = channel.mute ? 0.0f : channel.volume / 255.0f * (State().sfxVolume / 255.0f);
    float left = level, right = level;
    if (channel.pan != FSOUND_STEREOPAN) {
        if (channel.pan > 128)
            left *= (255 - channel.pan) / 127.0f;
        else if (channel.pan < 128)
            right *= channel.pan / 128.0f;
    }
    Mixer().Edit(channel.voice, [&](Voice& v) {
        v.gainLeft = left;
        v.gainRight = right;
    });
}

bool IsBusy(const Channel& channel)
{
    if (!channel.sample)
        return false;
    return channel.pausedPlaying || Mixer().Edit(channel.voice, [](Voice& v) { return v.playing; });
}

void Silence(Channel& channel)
{
    Mixer().Edit(channel.voice, [](Voice& v) {
        v.playing = false;
        v.data = nullptr;
    });
    channel.sample = nullptr;
    channel.paused = false;
    channel.pausedPlaying = false;
}

bool ReadWholeFile(const char* name, int offset, int length, std::vector<std::uint8_t>& bytes)
{
    std::string path;
    const std::wstring wide = vireo::platform::WideFromAnsi(name);
    if (vireo::platform::NativePath(wide.c_str(), path) != 0)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    bool ok = size >= 0 && offset >= 0 && offset <= size;
    std::size_t count = ok ? static_cast<std::size_t>(size - offset) : 0;
    if (length > 0)
        count = std::min<std::size_t>(count, static_cast<std::size_t>(length));
    ok = ok && count <= kMaxFileBytes;
    if (ok) {
        bytes.resize(count);
        std::fseek(file, offset, SEEK_SET);
        ok = std::fread(bytes.data(), 1, count, file) == count;
    }
    std::fclose(file);
    return ok;
}

// The file image a load call names: the caller's memory with FSOUND_LOADMEMORY, else the
// file (read into `file`). Returns an FMOD error, FMOD_ERR_NONE when bytes/size are set.
int InputBytes(const char* name_or_data, unsigned int mode, int offset, int length, std::vector<std::uint8_t>& file,
               const std::uint8_t*& bytes, std::size_t& size)
{
    if (!name_or_data)
        return FMOD_ERR_INVALID_PARAM;
    if (mode & FSOUND_LOADMEMORY) {
        if (length <= 0 || offset < 0)
            return FMOD_ERR_INVALID_PARAM;
        bytes = reinterpret_cast<const std::uint8_t*>(name_or_data) + offset;
        size = static_cast<std::size_t>(length);
        return FMOD_ERR_NONE;
    }
    if (!ReadWholeFile(name_or_data, offset, length, file))
        return FMOD_ERR_FILE_NOTFOUND;
    bytes = file.data();
    size = file.size();
    return FMOD_ERR_NONE;
}

void StopSongPlayer()
{
    FmodState& s = State();
    Mixer().EditSource([&](vireo::platform::audio::IMixSource*& source) {
        s.player.Halt();
        source = nullptr;
    });
    s.playing = nullptr;
}

} // namespace

// ---- system ------------------------------------------------------------------------------

bool& vireo::platform::audio::FmodInitFails()
{
    static bool fails = false;
    return fails;
}

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int)
{
    FmodState& s = State();
    if (vireo::platform::audio::FmodInitFails())
        return Fail<signed char>(FMOD_ERR_INIT, 0);
    if (mixrate <= 0 || maxsoftwarechannels < 1 || maxsoftwarechannels > kMaxChannels)
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    if (s.initialised) { // a second start keeps what exists and widens the channel count
        while (static_cast<int>(s.channels.size()) < maxsoftwarechannels)
            s.channels.push_back(Channel{Mixer().AddVoice()});
        return Done();
    }
    // Without a device the mix runs silent, so a game behaves the same with and without sound.
    Mixer().Acquire();
    for (int i = 0; i < maxsoftwarechannels; ++i)
        s.channels.push_back(Channel{Mixer().AddVoice()});
    s.initialised = true;
    return Done();
}

void FSOUND_Close()
{
    FmodState& s = State();
    if (!s.initialised)
        return;
    StopSongPlayer();
    for (Channel& channel : s.channels)
        Mixer().RemoveVoice(channel.voice);
    s.channels.clear();
    for (FSOUND_SAMPLE* sample : s.samples)
        delete sample;
    s.samples.clear();
    for (FMUSIC_MODULE* song : s.songs)
        delete song;
    s.songs.clear();
    s.player.DeleteSynth();
    s.initialised = false;
    Mixer().ReleaseOutput();
}

int FSOUND_GetError()
{
    return State().error;
}
float FSOUND_GetVersion()
{
    return 3.75f;
}
int FSOUND_GetOutputRate()
{
    return State().initialised ? Mixer().Rate() : 0;
}
int FSOUND_GetMaxChannels()
{
    return static_cast<int>(State().channels.size());
}
int FSOUND_GetChannelsPlaying()
{
    const auto& channels = State().channels;
    return static_cast<int>(
        std::count_if(channels.begin(), channels.end(), [](const Channel& c) { return IsBusy(c); }));
}
void FSOUND_SetSFXMasterVolume(int volume)
{
    State().sfxVolume = std::clamp(volume, 0, 255);
    for (Channel& channel : State().channels)
        ApplyGains(channel);
}
int FSOUND_GetSFXMasterVolume()
{
    return State().sfxVolume;
}

// ---- samples -----------------------------------------------------------------------------

FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char* name_or_data, unsigned int inputmode, int offset, int length)
{
    using namespace vireo::platform::audio;
    if (!State().initialised)
        return Fail<FSOUND_SAMPLE*>(FMOD_ERR_UNINITIALIZED, nullptr);
    std::vector<std::uint8_t> file;
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    if (const int error = InputBytes(name_or_data, inputmode, offset, length, file, bytes, size))
        return Fail<FSOUND_SAMPLE*>(error, nullptr);
    auto sample = std::make_unique<FSOUND_SAMPLE>();
    DecodeResult result;
    if (inputmode & FSOUND_LOADRAW) {
        result = RawSample(bytes, size, (inputmode & FSOUND_STEREO) ? 2 : 1, (inputmode & FSOUND_8BITS) ? 8 : 16,
                           !(inputmode & FSOUND_UNSIGNED) || (inputmode & FSOUND_SIGNED), sample->pcm);
        sample->pcm.rate = 44100;
    } else {
        result = DecodeSample(bytes, size, sample->pcm);
    }
    if (result == DecodeResult::TooLarge)
        return Fail<FSOUND_SAMPLE*>(FMOD_ERR_MEMORY, nullptr);
    if (result != DecodeResult::Ok)
        return Fail<FSOUND_SAMPLE*>(result == DecodeResult::Bad ? FMOD_ERR_FILE_BAD : FMOD_ERR_FILE_FORMAT, nullptr);
    const std::size_t frame = static_cast<std::size_t>(sample->pcm.channels) * sample->pcm.bits / 8;
    sample->frames = static_cast<std::uint32_t>(sample->pcm.pcm.size() / frame);
    sample->frequency = sample->pcm.rate;
    if (inputmode & (FSOUND_LOOP_NORMAL | FSOUND_LOOP_BIDI))
        sample->mode = inputmode & (FSOUND_LOOP_NORMAL | FSOUND_LOOP_BIDI);
    State().samples.insert(sample.get());
    State().error = FMOD_ERR_NONE;
    return sample.release();
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sptr)
{
    FmodState& s = State();
    if (!s.samples.erase(sptr))
        return;
    for (Channel& channel : s.channels)
        if (channel.sample == sptr)
            Silence(channel); // the voice lets go of the memory first
    delete sptr;
}

signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE* sptr, unsigned int mode)
{
    if (!State().samples.count(sptr))
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    if (mode & (FSOUND_LOOP_OFF | FSOUND_LOOP_NORMAL | FSOUND_LOOP_BIDI))
        sptr->mode = mode & (FSOUND_LOOP_OFF | FSOUND_LOOP_NORMAL | FSOUND_LOOP_BIDI);
    return Done();
}

unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sptr)
{
    if (!State().samples.count(sptr))
        return Fail(FMOD_ERR_INVALID_PARAM, 0u);
    const unsigned bits = sptr->pcm.bits == 8 ? FSOUND_8BITS | FSOUND_UNSIGNED : FSOUND_16BITS | FSOUND_SIGNED;
    return sptr->mode | bits | (sptr->pcm.channels == 2 ? FSOUND_STEREO : FSOUND_MONO);
}

unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sptr)
{
    return State().samples.count(sptr) ? sptr->frames : Fail(FMOD_ERR_INVALID_PARAM, 0u);
}

signed char FSOUND_Sample_SetDefaults(FSOUND_SAMPLE* sptr, int deffreq, int defvol, int defpan, int defpri)
{
    if (!State().samples.count(sptr))
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    if (deffreq >= 0)
        sptr->frequency = std::clamp(deffreq, 100, 200000);
    if (defvol >= 0)
        sptr->volume = std::min(defvol, 255);
    if (defpan >= 0 || defpan == FSOUND_STEREOPAN)
        sptr->pan = std::min(defpan, 255);
    if (defpri >= 0)
        sptr->priority = std::min(defpri, 255);
    return Done();
}

signed char FSOUND_Sample_GetDefaults(FSOUND_SAMPLE* sptr, int* deffreq, int* defvol, int* defpan, int* defpri)
{
    if (!State().samples.count(sptr))
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    if (deffreq)
        *deffreq = sptr->frequency;
    if (defvol)
        *defvol = sptr->volume;
    if (defpan)
        *defpan = sptr->pan;
    if (defpri)
        *defpri = sptr->priority;
    return Done();
}

// ---- channels ----------------------------------------------------------------------------

int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sptr, FSOUND_DSPUNIT*, signed char startpaused)
{
    FmodState& s = State();
    if (!s.initialised)
        return Fail(FMOD_ERR_UNINITIALIZED, -1);
    if (!s.samples.count(sptr))
        return Fail(FMOD_ERR_INVALID_PARAM, -1);
    std::size_t index = 0;
    if (channel == FSOUND_FREE) {
        // A free channel, else the one started longest ago (its old handle goes stale).
        auto free = std::find_if(s.channels.begin(), s.channels.end(), [](const Channel& c) { return !IsBusy(c); });
        if (free == s.channels.end())
            free = std::min_element(s.channels.begin(), s.channels.end(),
                                    [](const Channel& a, const Channel& b) { return a.started < b.started; });
        index = static_cast<std::size_t>(free - s.channels.begin());
    } else {
        index = static_cast<std::size_t>(channel & (kMaxChannels - 1));
        if (channel < 0 || index >= s.channels.size())
            return Fail(FMOD_ERR_INVALID_PARAM, -1);
    }
    Channel& c = s.channels[index];
    c.use = (c.use + 1) & 0x7FFFF;
    c.sample = sptr;
    c.volume = sptr->volume;
    c.pan = sptr->pan;
    c.frequency = sptr->frequency;
    c.mute = false;
    c.paused = startpaused != 0;
    c.pausedPlaying = c.paused;
    c.started = ++s.starts;
    Mixer().Edit(c.voice, [&](Voice& v) {
        v.data = sptr->pcm.pcm.data();
        v.frames = sptr->frames;
        v.channels = static_cast<std::uint8_t>(sptr->pcm.channels);
        v.bits = static_cast<std::uint8_t>(sptr->pcm.bits);
        v.rate = static_cast<std::uint32_t>(c.frequency);
        v.position = 0;
        v.looping = (sptr->mode & (FSOUND_LOOP_NORMAL | FSOUND_LOOP_BIDI)) != 0; // ping-pong plays forward
        v.ended = false;
        v.playing = !c.paused;
    });
    ApplyGains(c);
    s.error = FMOD_ERR_NONE;
    return static_cast<int>((c.use << kIndexBits) | index);
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sptr)
{
    return FSOUND_PlaySoundEx(channel, sptr, nullptr, 0);
}

signed char FSOUND_StopSound(int channel)
{
    return ForChannels(channel, [](Channel& c) { Silence(c); });
}

signed char FSOUND_SetFrequency(int channel, int freq)
{
    if (freq < 100 || freq > 200000)
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    return ForChannels(channel, [&](Channel& c) {
        c.frequency = freq;
        Mixer().Edit(c.voice, [&](Voice& v) { v.rate = static_cast<std::uint32_t>(freq); });
    });
}

signed char FSOUND_SetVolume(int channel, int vol)
{
    return ForChannels(channel, [&](Channel& c) {
        c.volume = std::clamp(vol, 0, 255);
        ApplyGains(c);
    });
}

signed char FSOUND_SetVolumeAbsolute(int channel, int vol)
{
    return FSOUND_SetVolume(channel, vol);
}

signed char FSOUND_SetPan(int channel, int pan)
{
    return ForChannels(channel, [&](Channel& c) {
        c.pan = pan == FSOUND_STEREOPAN ? pan : std::clamp(pan, 0, 255);
        ApplyGains(c);
    });
}

signed char FSOUND_SetMute(int channel, signed char mute)
{
    return ForChannels(channel, [&](Channel& c) {
        c.mute = mute != 0;
        ApplyGains(c);
    });
}

signed char FSOUND_SetPaused(int channel, signed char paused)
{
    return ForChannels(channel, [&](Channel& c) {
        if (!c.sample || (paused != 0) == c.paused)
            return;
        c.paused = paused != 0;
        Mixer().Edit(c.voice, [&](Voice& v) {
            if (c.paused) {
                c.pausedPlaying = v.playing;
                v.playing = false;
            } else {
                v.playing = c.pausedPlaying; // a sound that had ended stays ended
                c.pausedPlaying = false;
            }
        });
    });
}

signed char FSOUND_SetLoopMode(int channel, unsigned int loopmode)
{
    return ForChannels(channel, [&](Channel& c) {
        Mixer().Edit(c.voice, [&](Voice& v) { v.looping = (loopmode & (FSOUND_LOOP_NORMAL | FSOUND_LOOP_BIDI)) != 0; });
    });
}

signed char FSOUND_SetCurrentPosition(int channel, unsigned int offset)
{
    return ForChannels(channel, [&](Channel& c) {
        Mixer().Edit(c.voice, [&](Voice& v) {
            if (offset < v.frames)
                v.position = static_cast<std::uint64_t>(offset) << 32;
        });
    });
}

signed char FSOUND_IsPlaying(int channel)
{
    const Channel* c = Resolve(channel);
    return c && IsBusy(*c) ? 1 : 0;
}

int FSOUND_GetFrequency(int channel)
{
    const Channel* c = Resolve(channel);
    return c ? c->frequency : 0;
}

int FSOUND_GetVolume(int channel)
{
    const Channel* c = Resolve(channel);
    return c ? c->volume : 0;
}

int FSOUND_GetPan(int channel)
{
    const Channel* c = Resolve(channel);
    return c ? c->pan : 0;
}

signed char FSOUND_GetMute(int channel)
{
    const Channel* c = Resolve(channel);
    return c && c->mute ? 1 : 0;
}

signed char FSOUND_GetPaused(int channel)
{
    const Channel* c = Resolve(channel);
    return c && c->paused ? 1 : 0;
}

unsigned int FSOUND_GetLoopMode(int channel)
{
    const Channel* c = Resolve(channel);
    if (!c)
        return 0;
    return Mixer().Edit(c->voice, [](Voice& v) { return v.looping; }) ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF;
}

unsigned int FSOUND_GetCurrentPosition(int channel)
{
    const Channel* c = Resolve(channel);
    return c ? static_cast<unsigned>(Mixer().Edit(c->voice, [](Voice& v) { return v.position >> 32; })) : 0;
}

FSOUND_SAMPLE* FSOUND_GetCurrentSample(int channel)
{
    const Channel* c = Resolve(channel);
    return c ? c->sample : nullptr;
}

// ---- songs -------------------------------------------------------------------------------

FMUSIC_MODULE* FMUSIC_LoadSongEx(const char* name_or_data, int offset, int length, unsigned int mode, const int*, int)
{
    FmodState& s = State();
    if (!s.initialised)
        return Fail<FMUSIC_MODULE*>(FMOD_ERR_UNINITIALIZED, nullptr);
    std::vector<std::uint8_t> file;
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    if (const int error = InputBytes(name_or_data, mode, offset, length, file, bytes, size))
        return Fail<FMUSIC_MODULE*>(error, nullptr);
    auto song = std::make_unique<FMUSIC_MODULE>();
    if (!vireo::platform::audio::ReadMidiFile(bytes, size, Mixer().Rate(), song->song))
        return Fail<FMUSIC_MODULE*>(FMOD_ERR_FILE_FORMAT, nullptr);
    if (!s.player.EnsureSynth(Mixer().Rate()))
        return Fail<FMUSIC_MODULE*>(FMOD_ERR_INIT, nullptr);
    s.songs.insert(song.get());
    s.error = FMOD_ERR_NONE;
    return song.release();
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name)
{
    return FMUSIC_LoadSongEx(name, 0, 0, 0, nullptr, 0);
}

namespace {
bool KnownSong(FMUSIC_MODULE* mod)
{
    return mod && State().songs.count(mod) != 0;
}
template <class T> T WithPlayer(FMUSIC_MODULE* mod, T fallback, auto&& read)
{
    if (!KnownSong(mod))
        return Fail(FMOD_ERR_INVALID_PARAM, fallback);
    return Mixer().EditSource([&](vireo::platform::audio::IMixSource*&) { return read(State().playing == mod); });
}
} // namespace

signed char FMUSIC_FreeSong(FMUSIC_MODULE* mod)
{
    if (!KnownSong(mod))
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    if (State().playing == mod)
        StopSongPlayer();
    State().songs.erase(mod);
    delete mod;
    return Done();
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod)
{
    FmodState& s = State();
    if (!KnownSong(mod))
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    Mixer().EditSource([&](vireo::platform::audio::IMixSource*& source) {
        s.player.Start(&mod->song, mod->looping, mod->volume / 256.0f);
        source = &s.player;
    });
    s.playing = mod;
    return Done();
}

signed char FMUSIC_StopSong(FMUSIC_MODULE* mod)
{
    if (!KnownSong(mod))
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    if (State().playing == mod)
        StopSongPlayer();
    return Done();
}

void FMUSIC_StopAllSongs()
{
    if (State().playing)
        StopSongPlayer();
}

signed char FMUSIC_SetPaused(FMUSIC_MODULE* mod, signed char pause)
{
    return WithPlayer<signed char>(mod, 0, [&](bool current) {
        if (current)
            State().player.paused = pause != 0;
        return Done();
    });
}

signed char FMUSIC_GetPaused(FMUSIC_MODULE* mod)
{
    return WithPlayer<signed char>(mod, 0, [](bool current) { return current && State().player.paused ? 1 : 0; });
}

signed char FMUSIC_SetLooping(FMUSIC_MODULE* mod, signed char looping)
{
    return WithPlayer<signed char>(mod, 0, [&](bool current) {
        mod->looping = looping != 0;
        if (current)
            State().player.looping = mod->looping;
        return Done();
    });
}

signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume)
{
    if (volume < 0 || volume > 256)
        return Fail<signed char>(FMOD_ERR_INVALID_PARAM, 0);
    return WithPlayer<signed char>(mod, 0, [&](bool current) {
        mod->volume = volume;
        if (current)
            State().player.gain = volume / 256.0f;
        return Done();
    });
}

int FMUSIC_GetMasterVolume(FMUSIC_MODULE* mod)
{
    return KnownSong(mod) ? mod->volume : Fail(FMOD_ERR_INVALID_PARAM, -1);
}

signed char FMUSIC_IsPlaying(FMUSIC_MODULE* mod)
{
    return WithPlayer<signed char>(mod, 0, [](bool current) {
        const CSongPlayer& p = State().player;
        return current && p.song && !p.finished && !p.paused ? 1 : 0;
    });
}

signed char FMUSIC_IsFinished(FMUSIC_MODULE* mod)
{
    return WithPlayer<signed char>(mod, 0, [](bool current) { return !current || State().player.finished ? 1 : 0; });
}

int FMUSIC_GetType(FMUSIC_MODULE* mod)
{
    return KnownSong(mod) ? FMUSIC_TYPE_MIDI : FMUSIC_TYPE_NONE;
}
