// The cost of one second of 48 kHz stereo output: our mixer with 64 voices of 16-bit
// 22,050 Hz mono, resampled, with volume and pan; beside it SDL_MixAudioFormat alone on the
// same voices converted beforehand to the output format (volume and add, no resampling or
// pan). Also the allocations made inside the mix (a song included) and the time from Play
// to the first mixed sample. Figures only.
#include "platform/audio/Mixer.h"

#include <vireo/platform/DSound.h>
#include <vireo/platform/Fmod.h>
#include <vireo/platform/Testing.h>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

// Every malloc of the process goes through here, the synthesizer's included.
extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
} // namespace
extern "C" void* malloc(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* old, std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(old, size);
}

namespace {

using vireo::platform::audio::CMixer;
using vireo::platform::audio::Voice;

constexpr int kVoices = 64;
constexpr int kRate = 48000;
constexpr int kSourceRate = 22050;
constexpr int kBlock = 1024; // what the SDL back end asks for

std::vector<std::int16_t> Tone(double hz, int rate, int frames, int channels)
{
    std::vector<std::int16_t> pcm;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            pcm.push_back(static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * hz * i / rate)));
    return pcm;
}

std::vector<std::vector<std::int16_t>> Sources()
{
    std::vector<std::vector<std::int16_t>> sources;
    for (int v = 0; v < kVoices; ++v)
        sources.push_back(Tone(200 + 10 * v, kSourceRate, kSourceRate, 1));
    return sources;
}

std::vector<int> AddVoices(CMixer& mixer, const std::vector<std::vector<std::int16_t>>& sources)
{
    std::vector<int> voices;
    for (int v = 0; v < kVoices; ++v) {
        const int voice = mixer.AddVoice();
        voices.push_back(voice);
        mixer.Edit(voice, [&](Voice& x) {
            x.data = reinterpret_cast<const std::uint8_t*>(sources[v].data());
            x.frames = kSourceRate;
            x.rate = kSourceRate + v; // not a simple ratio: the fraction is never trivial
            x.looping = true;
            x.playing = true;
            CMixer::DecibelGains(-100 * (v % 20), 300 * (v % 7) - 900, x.gainLeft, x.gainRight);
        });
    }
    return voices;
}

// One second of output in device-sized blocks; returns the allocations made meanwhile.
long MixOneSecond(CMixer& mixer, std::vector<std::int16_t>& out)
{
    g_allocations = 0;
    g_counting = true;
    for (int done = 0; done < kRate; done += kBlock)
        mixer.Mix(out.data(), std::min(kBlock, kRate - done));
    g_counting = false;
    return g_allocations;
}

// Proof that the counter sees allocations at all (1 when it does).
double CounterWorks()
{
    g_allocations = 0;
    g_counting = true;
    auto* probe = new std::vector<int>(100);
    g_counting = false;
    delete probe;
    return g_allocations > 0 ? 1.0 : 0.0;
}

void BM_OurMix64Voices(benchmark::State& state)
{
    const auto sources = Sources();
    CMixer mixer(kRate);
    AddVoices(mixer, sources);
    std::vector<std::int16_t> out(2 * kBlock);
    long allocations = 0;
    for (auto _ : state) {
        allocations += MixOneSecond(mixer, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["allocations_per_second_of_sound"] = static_cast<double>(allocations) / state.iterations();
    state.counters["allocation_counter_works"] = CounterWorks();
}
BENCHMARK(BM_OurMix64Voices)->Unit(benchmark::kMillisecond);

void BM_SdlMixAudioFormat64Voices(benchmark::State& state)
{
    // Converted once to 48 kHz stereo 16-bit, as an SDL mixer library keeps its chunks.
    std::vector<std::vector<std::int16_t>> converted;
    for (int v = 0; v < kVoices; ++v)
        converted.push_back(Tone(200 + 10 * v, kRate, kRate, 2));
    std::vector<std::int16_t> out(2 * kBlock);
    for (auto _ : state) {
        for (int done = 0; done < kRate; done += kBlock) {
            const int frames = std::min(kBlock, kRate - done);
            std::memset(out.data(), 0, out.size() * sizeof(std::int16_t));
            for (int v = 0; v < kVoices; ++v)
                SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()),
                                   reinterpret_cast<const Uint8*>(converted[v].data() + 2 * done), AUDIO_S16SYS,
                                   static_cast<Uint32>(frames * 4), 100);
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_SdlMixAudioFormat64Voices)->Unit(benchmark::kMillisecond);

// The same 64 voices plus a MIDI song sounding through the synthesizer: allocations only.
void BM_OurMixWithSongAllocations(benchmark::State& state)
{
    const auto sources = Sources();
    CMixer& mixer = CMixer::Instance();
    FSOUND_Init(44100, 32, 0);
    const std::vector<int> voices = AddVoices(mixer, sources);
    std::vector<unsigned char> track;
    for (int n = 0; n < 16; ++n) { // a chord change every quarter, notes held across
        const unsigned char key = static_cast<unsigned char>(48 + n);
        for (unsigned char b : std::initializer_list<unsigned char>{0x00, 0x90, key, 90, 0x60, 0x80, key, 0})
            track.push_back(b);
    }
    for (unsigned char b : std::initializer_list<unsigned char>{0x00, 0xFF, 0x2F, 0x00})
        track.push_back(b);
    std::vector<unsigned char> midi = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0};
    midi.push_back(static_cast<unsigned char>(track.size() >> 8));
    midi.push_back(static_cast<unsigned char>(track.size()));
    midi.insert(midi.end(), track.begin(), track.end());
    FMUSIC_MODULE* song = FMUSIC_LoadSongEx(reinterpret_cast<const char*>(midi.data()), 0,
                                            static_cast<int>(midi.size()), FSOUND_LOADMEMORY, nullptr, 0);
    FMUSIC_PlaySong(song);
    std::vector<std::int16_t> out(2 * kBlock);
    long allocations = 0;
    for (auto _ : state) {
        allocations += MixOneSecond(mixer, out);
    }
    state.counters["allocations_per_second_of_sound"] = static_cast<double>(allocations) / state.iterations();
    state.counters["song_loaded"] = song != nullptr;
    FMUSIC_FreeSong(song);
    for (int voice : voices)
        mixer.RemoveVoice(voice);
    FSOUND_Close();
}
BENCHMARK(BM_OurMixWithSongAllocations)->Unit(benchmark::kMillisecond)->Iterations(5);

// From IDirectSoundBuffer::Play on the game thread to the block that holds its first sample:
// the time of the call plus one block's mix, and the frame of that block where it starts.
// On a device add the wait for its next callback: at most one block (21.3 ms at 48 kHz).
void BM_PlayToFirstMixedSample(benchmark::State& state)
{
    vireo::testing::InstallVirtualClock(); // the headless sink then mixes nothing on its own
    IDirectSound8* device = nullptr;
    DirectSoundCreate8(nullptr, &device, nullptr);
    device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    DSBUFFERDESC desc{36, DSBCAPS_CTRLVOLUME, 44100, 0, &format, GUID_NULL};
    IDirectSoundBuffer* buffer = nullptr;
    device->CreateSoundBuffer(&desc, &buffer, nullptr);
    void* a = nullptr;
    DWORD bytes = 0;
    buffer->Lock(0, 0, &a, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    std::fill_n(static_cast<std::int16_t*>(a), bytes / 2, static_cast<std::int16_t>(12000));
    buffer->Unlock(a, bytes, nullptr, 0);
    std::vector<std::int16_t> out(2 * kBlock);
    double firstFrame = 0;
    for (auto _ : state) {
        buffer->SetCurrentPosition(0);
        buffer->Play(0, 0, 0);
        CMixer::Instance().Mix(out.data(), kBlock);
        state.PauseTiming();
        const auto hit = std::find_if(out.begin(), out.end(), [](std::int16_t s) { return s != 0; });
        firstFrame += static_cast<double>(hit - out.begin()) / 2;
        buffer->Stop();
        state.ResumeTiming();
    }
    state.counters["first_sample_frame_in_block"] = firstFrame / state.iterations();
    buffer->Release();
    device->Release();
    vireo::testing::UninstallVirtualClock();
}
BENCHMARK(BM_PlayToFirstMixedSample)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("VIREO_BACKEND", "headless", 1);
    setenv("VIREO_AUDIO", "null", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
