// CSoundSystem: starts the FMOD-style and DirectSound-style outputs, turns a file name into a
// pooled sound of the right kind (with the mp3/ogg/mid/wav fallbacks), gives pooled sounds
// their per-frame step and offers the global mute, pause, resume and stop switches.
#include <vireo/engine.h>
#include <vireo/support.h>

#include <cwctype>

namespace {

// The first UTF-16 code unit of a code point: what a UTF-16 string would compare first.
unsigned FirstUnit(wchar_t c)
{
    const auto v = static_cast<unsigned>(c);
    return v >= 0x10000 ? 0xD800 + ((v - 0x10000) >> 10) : v;
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

} // namespace

bool SSoundKeyLess::operator()(const std::wstring& a, const std::wstring& b) const
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const unsigned ua = FirstUnit(a[i]);
        const unsigned ub = FirstUnit(b[i]);
        if (ua != ub)
            return ua < ub;
        return static_cast<unsigned>(a[i]) < static_cast<unsigned>(b[i]);
    }
    return a.size() < b.size();
}

CSoundSystem::CSoundSystem() = default;

CSoundSystem::~CSoundSystem()
{
    for (auto& [name, entry] : m_MusicPool)
        delete entry.pSound;
    m_MusicPool.clear();
    for (auto& [name, entry] : m_EffectPool)
        delete entry.pSound;
    m_EffectPool.clear();
    // FMOD stays started; the system gives back only its own reference to the device.
    if (m_pDirectSound) {
        m_pDirectSound->Release();
        m_pDirectSound = nullptr;
    }
}

BOOL CSoundSystem::Init()
{
    return InitSystem(m_pGameEngine ? m_pGameEngine->GetEngineParam()->hWnd : nullptr);
}

int CSoundSystem::InitSystem(HWND hWnd)
{
    if (!FSOUND_Init(44100, 32, 0))
        WriteLog(3, L"FSOUND_Init(44100,32,0)  failure.");

    if (m_pDirectSound) { // a second start keeps one device
        m_pDirectSound->Release();
        m_pDirectSound = nullptr;
    }
    if (FAILED(DirectSoundCreate8(nullptr, &m_pDirectSound, nullptr)) || !m_pDirectSound)
        return 0;
    if (FAILED(m_pDirectSound->SetCooperativeLevel(hWnd, DSSCL_PRIORITY)))
        return 0;

    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_WIN32_SIZE;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(m_pDirectSound->CreateSoundBuffer(&desc, &primary, nullptr)) || !primary)
        return 0;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = 44100;
    const HRESULT hr = primary->SetFormat(&format);
    primary->Release();
    return FAILED(hr) ? 0 : 1;
}

void CSoundSystem::Update()
{
    for (auto& [name, entry] : m_MusicPool)
        entry.pSound->UpdateSound();
    for (auto& [name, entry] : m_EffectPool)
        entry.pSound->UpdateSound();
}

CSound* CSoundSystem::CreateEffect(const wchar_t* fileName, DWORD dwParam)
{
    return CreateSound(m_EffectPool, fileName, FALSE, dwParam);
}

CSound* CSoundSystem::CreateMusic(const wchar_t* fileName)
{
    return CreateSound(m_MusicPool, fileName, TRUE, 1);
}

CSound* CSoundSystem::CreateSound(SoundPool& pool, const wchar_t* fileName, BOOL bMusic, DWORD dwParam)
{
    if (!fileName)
        return nullptr;
    auto found = pool.find(fileName);
    if (found != pool.end()) {
        WriteLog(4, L"reuse sound in pool '%s'", fileName);
        ++found->second.nRefCount;
        return found->second.pSound;
    }

    // The name as given, then the same base with each extension the engine plays.
    const std::wstring base = GetFileTitle(fileName, -1);
    const std::wstring extensions[] = {GetFileExt(fileName), L"mp3", L"ogg", L"mid", L"wav"};
    std::wstring path;
    for (const std::wstring& ext : extensions) {
        const std::wstring candidate = base + L"." + ext;
        if (FileExists(candidate.c_str())) {
            path = candidate;
            break;
        }
    }
    if (path.empty())
        return nullptr;

    const std::wstring kind = Lower(GetFileExt(path.c_str()));
    CSound* sound = nullptr;
    if (kind == L"wav")
        sound = new CWaveSound();
    else if (kind == L"mid")
        sound = new CMidiSound();
    else if (kind == L"mp3" || kind == L"ogg")
        sound = new CMp3Sound();
    if (!sound) {
        ShowMessageBox(L"声音格式引擎不支持 file=%s", path.c_str());
        return nullptr;
    }
    if (!sound->Create(this, bMusic, path.c_str(), dwParam)) {
        delete sound;
        return nullptr;
    }
    pool.emplace(fileName, SSoundPoolEntry{sound, 1});
    return sound;
}

void CSoundSystem::ReleaseSound(CSound* pSound)
{
    if (!pSound)
        return;
    for (SoundPool* pool : {&m_EffectPool, &m_MusicPool}) {
        for (auto it = pool->begin(); it != pool->end(); ++it) {
            if (it->second.pSound != pSound)
                continue;
            if (it->second.nRefCount < 2) {
                delete it->second.pSound;
                pool->erase(it);
            } else {
                --it->second.nRefCount;
            }
            break;
        }
    }
}

void CSoundSystem::MuteEffect(BOOL bMute)
{
    m_bMuteEffect = bMute;
    if (bMute)
        for (auto& [name, entry] : m_EffectPool)
            entry.pSound->Stop();
}

void CSoundSystem::MuteMusic(BOOL bMute)
{
    m_bMuteMusic = bMute;
    for (auto& [name, entry] : m_MusicPool) {
        if (bMute)
            entry.pSound->Pause();
        else
            entry.pSound->Resume();
    }
}

void CSoundSystem::PauseAllSound()
{
    for (auto& [name, entry] : m_MusicPool)
        entry.pSound->Pause();
    for (auto& [name, entry] : m_EffectPool)
        entry.pSound->Pause();
}

void CSoundSystem::ResumeAllSound()
{
    if (!m_bMuteMusic)
        for (auto& [name, entry] : m_MusicPool)
            entry.pSound->Resume();
    if (!m_bMuteEffect)
        for (auto& [name, entry] : m_EffectPool)
            entry.pSound->Resume();
}

void CSoundSystem::StopAllMusic()
{
    for (auto& [name, entry] : m_MusicPool)
        entry.pSound->Stop();
}
