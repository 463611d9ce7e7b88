// Sound: a short beep as an effect with two buffers and a looping tone as music, both WAV
// files this program writes first. Checks that the beep really sounds and then ends by
// itself, and that the music's fade-out stops it and puts its volume back.
#include "ExampleHost.h"

#include <cmath>
#include <cstdint>
#include <fstream>

// A mono 16-bit WAV file of a sine tone.
static void WriteTone(const char* path, int hz, double seconds)
{
    const std::uint32_t rate = 22050, samples = static_cast<std::uint32_t>(rate * seconds), bytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    auto put = [&](std::uint32_t v, int n) { out.write(reinterpret_cast<const char*>(&v), n); };
    out.write("RIFF", 4), put(36 + bytes, 4), out.write("WAVEfmt ", 8), put(16, 4), put(1, 2), put(1, 2);
    put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2), out.write("data", 4), put(bytes, 4);
    for (std::uint32_t i = 0; i < samples; ++i)
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(6.2831853 * hz * i / rate))), 2);
}

class CToneGame : public CGameEngine {
  public:
    bool beepSounded = false, beepEnded = false, musicFaded = false;
    LONG musicVolumeAfter = 1;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        const DWORD frame = GetEngineStatus()->nUIUpdateCount;
        switch (msg) {
        // [load]
        case EMSG_EG_INIT:
            m_beep = GetSoundSystem()->CreateEffect(L"beep.wav", 2); // up to two copies at once
            m_music = GetSoundSystem()->CreateMusic(L"loop.wav");    // .mp3, .ogg and .mid the same way
            break;
        // [/load]
        case EMSG_EG_GAME_UPDATE:
            if (!m_beep || !m_music)
                break;
            // [play]
            if (frame == 0) {     // the first frame: EngineInit lasts 1.5 s after EMSG_EG_INIT
                m_beep->Play(1);  // once
                m_music->Play(0); // 0: loop until stopped
            }
            // [/play]
            if (frame == 2)
                beepSounded = static_cast<CWaveSound*>(m_beep)->IsSoundPlaying();
            if (frame == 60) {
                beepEnded = !static_cast<CWaveSound*>(m_beep)->IsSoundPlaying();
                // [fade]
                m_music->StopSmooth(-10000, 30); // to silence over 30 frames, then stop
                // [/fade]
            }
            if (frame == 95) {
                musicFaded = m_music->IsPlaying() == 0;
                musicVolumeAfter = m_music->GetVolume();
            }
            break;
        // [release]
        case EMSG_EG_DESTROY:
            GetSoundSystem()->ReleaseSound(m_beep); // the last reference destroys it
            GetSoundSystem()->ReleaseSound(m_music);
            break;
            // [/release]
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }

  private:
    CSound* m_beep = nullptr;
    CSound* m_music = nullptr;
};

int main()
{
    WriteTone("beep.wav", 880, 0.5);
    WriteTone("loop.wav", 220, 1.0);
    CToneGame game;
    CExampleHost host;
    if (!host.Start(game, {320, 240}, 60) || !host.RunUntil(100)) // 60 frames a second
        return 1;
    host.Close();
    int failed = Check(game.beepSounded, "the beep sounds");
    failed += Check(game.beepEnded, "a second later it has ended");
    failed += Check(game.musicFaded, "the fade-out stopped the music");
    failed += Check(game.musicVolumeAfter == 0, "and put its volume back");
    return failed;
}
