// The demo's sounds (see DemoSounds.h). Every file is made by vireo-artgen; the bell has no
// file of its own: it is built into the executable with vireo_add_resources (CMakeLists.txt).
#include "DemoSounds.h"

#include <vireo/support.h>

namespace {

// The hit lasts about 21 frames; four starts 4 frames apart sound together.
constexpr int kBurstStep = 4;
constexpr int kBurstHits = 4;
// The fade-out: to silence (FMOD volume 0) over two seconds of frames.
constexpr DWORD kFadeFrames = 120;

} // namespace

void CDemoSounds::Load(CSoundSystem* sound, const std::wstring& dataFolder)
{
    const std::wstring folder = dataFolder + L"/sounds/";
    m_pHit = sound->CreateEffect((folder + L"hit.wav").c_str(), 4);
    m_pCoin = sound->CreateEffect((folder + L"coin.wav").c_str(), 1);
    // The engine takes a sound name only when something of that name exists, and reads the
    // WAVE resource of that name when it cannot be opened as a file. A folder named like the
    // sound is that something, so the bell plays from the executable's own bytes.
    CreateDirectoryW(L"chime.wav", nullptr);
    m_pBell = sound->CreateEffect(L"chime.wav", 2);
    m_pMusic = sound->CreateMusic((folder + L"music.ogg").c_str());
    m_pTune = sound->CreateMusic((folder + L"tune.mid").c_str());
    WriteLog(1, L"Demo: sounds hit=%d coin=%d bell=%d music=%d tune=%d", m_pHit != nullptr, m_pCoin != nullptr,
             m_pBell != nullptr, m_pMusic != nullptr, m_pTune != nullptr);
    if (m_pMusic) {
        m_pMusic->SetVolume(160);
        m_pMusic->Play(0);
    }
}

void CDemoSounds::Update(const CInputSystem* input, bool typing, DWORD gameTicks, SIZE range)
{
    // The orb turns round each time its travel passes a whole multiple of the range.
    const auto turns = [](DWORD ticks, int speed, LONG span) { return span > 0 ? ticks * speed / span : 0; };
    const bool bounced = gameTicks > 0 && (turns(gameTicks, 3, range.cx) != turns(gameTicks - 1, 3, range.cx) ||
                                           turns(gameTicks, 2, range.cy) != turns(gameTicks - 1, 2, range.cy));
    if (m_nBurstFrame <= kBurstStep * (kBurstHits - 1)) {
        if (m_pHit && m_nBurstFrame % kBurstStep == 0)
            m_pHit->Play(1);
        ++m_nBurstFrame;
    }
    const auto pressed = [input, typing](BYTE key) { return !typing && input->CheckKeyEvent(key) == KS_DOWN; };
    if ((pressed(DIK_SPACE) || bounced) && m_pHit)
        m_pHit->Play(1);
    if (pressed(DIK_C) && m_pCoin)
        m_pCoin->Play(1);
    if (pressed(DIK_B) && m_pBell)
        m_pBell->Play(1);
    if (pressed(DIK_M) && m_pTune) {
        m_pTune->Stop();
        m_pTune->Play(1);
    }
    if (pressed(DIK_F) && m_pMusic) {
        if (m_pMusic->IsPlaying())
            m_pMusic->StopSmooth(0, kFadeFrames); // stops at the end and puts the volume back
        else
            m_pMusic->Play(0);
    }
}

void CDemoSounds::Play(Cue cue)
{
    CSound* sound = cue == COIN ? m_pCoin : cue == HIT ? m_pHit : m_pBell;
    if (sound)
        sound->Play(1);
}

void CDemoSounds::Release(CSoundSystem* sound)
{
    for (CSound** held : {&m_pHit, &m_pCoin, &m_pBell, &m_pMusic, &m_pTune}) {
        sound->ReleaseSound(*held);
        *held = nullptr;
    }
}
