// MIDI rendering: the sequencer sends each event at its frame, renders the synthesizer up to
// the next one, and at the end either rewinds (looping, notes cut) or marks the song finished
// while the synthesizer's release tails play out. No allocation here after the start.
#include "platform/audio/SongPlayer.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vireo::platform::audio {

namespace {
bool IsFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
void Quiet(int, const char*, void*) {}
} // namespace

std::string FindSoundFont()
{
    if (const char* named = std::getenv("VIREO_SOUNDFONT"); named && *named)
        return IsFile(named) ? named : std::string();
    for (const char* path : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                             "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2"})
        if (IsFile(path))
            return path;
    return {};
}

bool CSongPlayer::EnsureSynth(int rate)
{
    if (m_synth)
        return true;
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, &Quiet, nullptr); // failures are reported by the caller
    const std::string font = FindSoundFont();
    if (font.empty() || !fluid_is_soundfont(font.c_str())) {
        std::fprintf(stderr, "vireo: no General MIDI SoundFont found (VIREO_SOUNDFONT names one); MIDI is silent\n");
        return false;
    }
    // FluidSynth may load the SoundFont's samples on OpenMP worker threads; this layer keeps
    // to the game and audio threads, so the game thread loads them alone.
    using SetThreads = void (*)(int);
    if (auto setThreads = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_num_threads")))
        setThreads(1);
    m_settings = new_fluid_settings();
    fluid_settings_setnum(m_settings, "synth.sample-rate", rate);
    fluid_settings_setnum(m_settings, "synth.gain", 0.5);
    fluid_settings_setint(m_settings, "synth.cpu-cores", 1); // no threads of its own
    m_synth = m_settings ? new_fluid_synth(m_settings) : nullptr;
    if (!m_synth || fluid_synth_sfload(m_synth, font.c_str(), 1) == FLUID_FAILED) {
        std::fprintf(stderr, "vireo: the SoundFont \"%s\" could not be loaded; MIDI is silent\n", font.c_str());
        DeleteSynth();
        return false;
    }
    return true;
}

void CSongPlayer::DeleteSynth()
{
    if (m_synth)
        delete_fluid_synth(m_synth);
    if (m_settings)
        delete_fluid_settings(m_settings);
    m_synth = nullptr;
    m_settings = nullptr;
    song = nullptr;
}

void CSongPlayer::Start(const MidiSong* next, bool loop, float level)
{
    Halt();
    song = next;
    looping = loop;
    gain = level;
}

void CSongPlayer::Halt()
{
    if (m_synth)
        fluid_synth_system_reset(m_synth);
    song = nullptr;
    paused = false;
    finished = false;
    m_position = 0;
    m_next = 0;
}

void CSongPlayer::Send(const MidiEvent& e)
{
    const int channel = e.status & 0x0F;
    switch (e.status >> 4) {
    case 0x8:
        fluid_synth_noteoff(m_synth, channel, e.data1);
        break;
    case 0x9:
        fluid_synth_noteon(m_synth, channel, e.data1, e.data2);
        break; // velocity 0 is a note off
    case 0xA:
        fluid_synth_key_pressure(m_synth, channel, e.data1, e.data2);
        break;
    case 0xB:
        fluid_synth_cc(m_synth, channel, e.data1, e.data2);
        break;
    case 0xC:
        fluid_synth_program_change(m_synth, channel, e.data1);
        break;
    case 0xD:
        fluid_synth_channel_pressure(m_synth, channel, e.data1);
        break;
    default:
        fluid_synth_pitch_bend(m_synth, channel, e.data1 | (e.data2 << 7));
        break;
    }
}

void CSongPlayer::Render(float* left, float* right, int frames)
{
    if (!m_synth || paused) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    int done = 0;
    bool rewound = false;
    while (done < frames) {
        std::uint32_t until = UINT32_MAX;
        if (song && !finished) {
            const auto& events = song->events;
            while (m_next < events.size() && events[m_next].frame <= m_position)
                Send(events[m_next++]);
            if (m_next == events.size() && m_position >= song->lengthFrames) {
                // A song of no length loops at most once per block: no busy loop.
                if (looping && !rewound) {
                    fluid_synth_all_notes_off(m_synth, -1);
                    m_position = 0;
                    m_next = 0;
                    rewound = song->lengthFrames == 0;
                    continue;
                }
                finished = true;
            } else {
                until = m_next < events.size() ? events[m_next].frame : song->lengthFrames;
            }
        }
        const int run =
            static_cast<int>(std::min<std::uint64_t>(frames - done, std::max<std::uint64_t>(1, until - m_position)));
        fluid_synth_write_float(m_synth, run, left, done, 1, right, done, 1);
        m_position += static_cast<std::uint32_t>(run);
        done += run;
    }
    for (int i = 0; i < frames; ++i) {
        left[i] *= gain;
        right[i] *= gain;
    }
}

} // namespace vireo::platform::audio
