// Synthesis of the demo's sounds: a percussive hit (noise and a falling thump), a two-note
// coin blip in 8-bit, a bell for the executable's resource, an eight-second loop of chords,
// bass and arpeggio encoded with libvorbisenc, and a short MIDI melody written byte by byte.
// Nothing here is played; the engine's tests and the demo do that.
#include "SoundArt.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace artgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

void Put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Samples in -1..1, interleaved; 8-bit output is unsigned, 16-bit signed.
std::vector<std::uint8_t> EncodeWav(const std::vector<float>& samples, int channels, int rate, int bits)
{
    std::vector<std::uint8_t> data;
    for (float s : samples) {
        const float v = std::clamp(s, -1.0f, 1.0f);
        if (bits == 8)
            data.push_back(static_cast<std::uint8_t>(std::lround(128 + v * 127)));
        else
            Put16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767))));
    }
    const int align = channels * bits / 8;
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
    Put32(out, static_cast<std::uint32_t>(36 + data.size() + data.size() % 2));
    for (char c : std::string("WAVEfmt "))
        out.push_back(static_cast<std::uint8_t>(c));
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(channels));
    Put32(out, static_cast<std::uint32_t>(rate));
    Put32(out, static_cast<std::uint32_t>(rate * align));
    Put16(out, static_cast<unsigned>(align));
    Put16(out, static_cast<unsigned>(bits));
    for (char c : std::string("data"))
        out.push_back(static_cast<std::uint8_t>(c));
    Put32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2)
        out.push_back(0); // chunks are padded to an even size
    return out;
}

double NoteHz(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

std::vector<float> Hit()
{
    const int rate = 22050;
    const int n = rate * 35 / 100;
    std::vector<float> out(n);
    std::uint32_t seed = 0x1234567u;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        seed = seed * 1664525u + 1013904223u; // a fixed noise sequence
        const double noise = (static_cast<double>(seed >> 8) / (1 << 24)) * 2 - 1;
        phase += 2 * kPi * (180 - 120 * std::min(t / 0.2, 1.0)) / rate; // a thump that falls in pitch
        out[i] = static_cast<float>(0.2 * noise * std::exp(-t * 40) + 0.3 * std::sin(phase) * std::exp(-t * 12));
    }
    return out;
}

std::vector<float> Coin()
{
    const int rate = 22050;
    const int n = rate * 30 / 100;
    std::vector<float> out(n);
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double hz = t < 0.07 ? NoteHz(83) : NoteHz(88); // B5 then E6
        const double square = std::sin(2 * kPi * hz * t) >= 0 ? 1.0 : -1.0;
        out[i] = static_cast<float>(0.35 * square * std::exp(-t * 9));
    }
    return out;
}

// The music loop: C, A minor, F, G, one bar of two seconds each, at 22,050 Hz in stereo.
std::vector<float> MusicLoop(int rate)
{
    const int bars = 4;
    const double bar = 2.0;
    const int n = static_cast<int>(rate * bar * bars);
    const int chords[bars][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}};
    std::vector<float> out(static_cast<std::size_t>(n) * 2);
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const int b = std::min(static_cast<int>(t / bar), bars - 1);
        const double inBar = t - b * bar;
        const int* chord = chords[b];
        // Pad: the chord, swelling in and out within the bar so the seams are quiet.
        const double swell = std::sin(kPi * inBar / bar);
        double left = 0;
        double right = 0;
        for (int k = 0; k < 3; ++k) {
            const double hz = NoteHz(chord[k]);
            left += std::sin(2 * kPi * hz * t) * 0.08 * swell;
            right += std::sin(2 * kPi * hz * 1.003 * t) * 0.08 * swell;
        }
        // Bass: the root two octaves down on every beat, plucked.
        const double beat = std::fmod(inBar, 0.5);
        const double bass = std::sin(2 * kPi * NoteHz(chord[0] - 24) * t) * 0.25 * std::exp(-beat * 6);
        // Arpeggio: eighth notes up the chord an octave higher, left and right in turn.
        const int step = static_cast<int>(inBar / 0.25);
        const double inStep = inBar - step * 0.25;
        const double arp = std::sin(2 * kPi * NoteHz(chord[step % 3] + 12) * t) * 0.18 * std::exp(-inStep * 14) *
                           std::sin(kPi * 4 * inStep);
        left += bass + (step % 2 ? 0.4 : 1.0) * arp;
        right += bass + (step % 2 ? 1.0 : 0.4) * arp;
        out[2 * static_cast<std::size_t>(i)] = static_cast<float>(left);
        out[2 * static_cast<std::size_t>(i) + 1] = static_cast<float>(right);
    }
    return out;
}

void AppendPage(std::vector<std::uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

std::vector<std::uint8_t> EncodeOgg(const std::vector<float>& stereo, int rate)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, rate, 0.2f) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Vireo demo loop");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x56495245); // a fixed serial number keeps the bytes stable

    std::vector<std::uint8_t> out;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);

    const std::size_t frames = stereo.size() / 2;
    const std::size_t chunk = 1024;
    for (std::size_t start = 0; start <= frames; start += chunk) {
        const std::size_t count = std::min(chunk, frames - std::min(start, frames));
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0); // end of the stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (std::size_t i = 0; i < count; ++i) {
                buffer[0][i] = stereo[2 * (start + i)];
                buffer[1][i] = stereo[2 * (start + i) + 1];
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page))
                    AppendPage(out, page);
            }
        }
        if (count == 0)
            break;
    }
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

void PutVarLen(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[4];
    int n = 0;
    do {
        bytes[n++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value && n < 4);
    while (n > 1)
        out.push_back(static_cast<std::uint8_t>(bytes[--n] | 0x80));
    out.push_back(bytes[0]);
}

// A Standard MIDI File of format 0: one track, 480 ticks a beat, 132 beats a minute, a
// celesta melody over a held string chord per bar.
std::vector<std::uint8_t> Tune()
{
    struct Note {
        int beat8; // start in eighth notes
        int length8;
        int key;
    };
    const Note melody[] = {{0, 2, 76},  {2, 2, 79},  {4, 2, 84},  {6, 2, 83},  {8, 3, 81},  {11, 1, 79}, {12, 4, 77},
                           {16, 2, 74}, {18, 2, 77}, {20, 2, 81}, {22, 2, 79}, {24, 3, 76}, {27, 1, 74}, {28, 4, 72}};
    const int chords[4][3] = {{48, 55, 64}, {53, 57, 65}, {50, 57, 65}, {48, 55, 64}};
    struct Event {
        std::uint32_t tick;
        std::uint8_t status, a, b;
    };
    std::vector<Event> events;
    const std::uint32_t eighth = 240;
    for (const Note& note : melody) {
        events.push_back({note.beat8 * eighth, 0x90, static_cast<std::uint8_t>(note.key), 96});
        events.push_back({(note.beat8 + note.length8) * eighth - 10, 0x80, static_cast<std::uint8_t>(note.key), 0});
    }
    for (int bar = 0; bar < 4; ++bar)
        for (int key : chords[bar]) {
            events.push_back({bar * 8 * eighth, 0x91, static_cast<std::uint8_t>(key), 56});
            events.push_back({(bar + 1) * 8 * eighth - 20, 0x81, static_cast<std::uint8_t>(key), 0});
        }
    std::stable_sort(events.begin(), events.end(), [](const Event& x, const Event& y) { return x.tick < y.tick; });

    std::vector<std::uint8_t> track;
    const auto meta = [&track](std::initializer_list<std::uint8_t> bytes) {
        track.push_back(0); // at tick 0
        track.insert(track.end(), bytes);
    };
    meta({0xFF, 0x51, 0x03, 0x06, 0xEF, 0xE9}); // 454,633 microseconds a beat: 132 beats a minute
    meta({0xC0, 8});                            // channel 1: celesta
    meta({0xC1, 48});                           // channel 2: strings
    std::uint32_t now = 0;
    for (const Event& e : events) {
        PutVarLen(track, e.tick - now);
        now = e.tick;
        track.push_back(e.status);
        track.push_back(e.a);
        track.push_back(e.b);
    }
    PutVarLen(track, eighth);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
    for (char c : std::string("MTrk"))
        out.push_back(static_cast<std::uint8_t>(c));
    const auto size = static_cast<std::uint32_t>(track.size());
    out.insert(out.end(), {static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
                           static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

} // namespace

std::vector<std::uint8_t> MakeChimeWav()
{
    const int rate = 22050;
    const int n = rate * 9 / 10;
    std::vector<float> out(n);
    // A bell: inharmonic partials, the higher ones dying sooner.
    const double partials[][3] = {{1.0, 0.5, 3}, {2.76, 0.25, 5}, {5.40, 0.12, 8}, {8.93, 0.06, 12}};
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0;
        for (const auto& p : partials)
            v += p[1] * std::sin(2 * kPi * NoteHz(79) * p[0] * t) * std::exp(-t * p[2]);
        out[i] = static_cast<float>(v * std::min(1.0, t * 400));
    }
    return EncodeWav(out, 1, rate, 16);
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> MakeDemoSounds()
{
    return {
        {"hit.wav", EncodeWav(Hit(), 1, 22050, 16)},
        {"coin.wav", EncodeWav(Coin(), 1, 22050, 8)},
        {"music.ogg", EncodeOgg(MusicLoop(22050), 22050)},
        {"tune.mid", Tune()},
    };
}

} // namespace artgen
