// Writes the seed corpora of the music_mp3, music_ogg and midi fuzz targets: short tones
// encoded with libsndfile (mono and stereo, two rates) and small MIDI files built byte by
// byte. Run by scripts/make-audio-seeds.sh; the output is committed.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::filesystem::path g_root;

void Save(const char* target, const std::string& name, const std::vector<unsigned char>& bytes)
{
    const auto dir = g_root / target;
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool EncodeFile(const std::filesystem::path& path, int format, int rate, int channels, double seconds)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    const int frames = static_cast<int>(rate * seconds);
    std::vector<short> pcm;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            pcm.push_back(static_cast<short>(12000 * std::sin(2 * M_PI * (440 + 220 * c) * i / rate)));
    sf_writef_short(file, pcm.data(), frames);
    sf_close(file);
    return true;
}

void Midi(const std::string& name, unsigned format, unsigned division,
          const std::vector<std::vector<unsigned char>>& tracks)
{
    std::vector<unsigned char> file = {'M',
                                       'T',
                                       'h',
                                       'd',
                                       0,
                                       0,
                                       0,
                                       6,
                                       0,
                                       static_cast<unsigned char>(format),
                                       0,
                                       static_cast<unsigned char>(tracks.size()),
                                       static_cast<unsigned char>(division >> 8),
                                       static_cast<unsigned char>(division)};
    for (const auto& track : tracks) {
        for (unsigned char b : std::initializer_list<unsigned char>{'M', 'T', 'r', 'k', 0, 0})
            file.push_back(b);
        file.push_back(static_cast<unsigned char>(track.size() >> 8));
        file.push_back(static_cast<unsigned char>(track.size()));
        file.insert(file.end(), track.begin(), track.end());
    }
    Save("midi", name, file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    g_root = argv[1];
    struct Tone {
        const char* target;
        const char* name;
        int format, rate, channels;
    };
    const Tone tones[] = {
        {"music_mp3", "mono22k.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 22050, 1},
        {"music_mp3", "stereo44k.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2},
        {"music_ogg", "mono22k.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 22050, 1},
        {"music_ogg", "stereo44k.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2},
    };
    for (const Tone& tone : tones) {
        std::filesystem::create_directories(g_root / tone.target);
        if (!EncodeFile(g_root / tone.target / tone.name, tone.format, tone.rate, tone.channels, 0.25)) {
            std::fprintf(stderr, "cannot encode %s\n", tone.name);
            return 1;
        }
    }
    const std::vector<unsigned char> end = {0x00, 0xFF, 0x2F, 0x00};
    auto with = [&](std::vector<unsigned char> body) {
        body.insert(body.end(), end.begin(), end.end());
        return body;
    };
    Midi("note.mid", 0, 96, {with({0x00, 0xC0, 0x00, 0x00, 0x90, 60, 100, 0x60, 60, 0})});
    Midi("running-status.mid", 0, 96,
         {with({0x00, 0x90, 60, 100, 0x10, 64, 100, 0x10, 67, 100, 0x30, 60, 0, 0x00, 64, 0, 0x00, 67, 0})});
    Midi("tempo-only.mid", 0, 96,
         {with({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90})});
    Midi("two-tracks.mid", 1, 480,
         {with({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}),
          with({0x00, 0xC9, 0x00, 0x00, 0x99, 36,   110,  0x83, 0x60, 0x89,
                36,   0,    0x00, 0xE0, 0x00, 0x50, 0x00, 0xB0, 7,    90})});
    Midi("smpte-sysex.mid", 0, 0xE728,
         {with({0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x00, 0x90, 72, 80, 0x28, 0x80, 72, 0})});
    return 0;
}
