// Fuzz target for the replay reader: the input becomes Record.dat, then the input system
// replays it frame by frame on an engine that was never started, up to the last count a line
// names (at most 2,000 frames), checking that every key state stays a KEYSTATE.
// Record.dat has a fixed name, so it lives in a private temporary folder, not in memory.
#include "input/RecordLine.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>
#include <vireo/support.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr unsigned long kMaxFrames = 2000;

// A private folder made once; each input runs inside it and returns to where it started,
// so the replay program's relative corpus paths keep working.
const std::filesystem::path& ScratchFolder()
{
    static const std::filesystem::path folder = [] {
        setenv("VIREO_BACKEND", "headless", 1);
        vireo::testing::InstallVirtualClock();
        std::string pattern = (std::filesystem::temp_directory_path() / "vireo-fuzz-replay-XXXXXX").string();
        return std::filesystem::path(mkdtemp(pattern.data()) ? pattern
                                                             : std::filesystem::temp_directory_path().string());
    }();
    return folder;
}

// Frames worth running: up to the last count any line names, plus one to reach the end.
unsigned long FramesFor(const std::string& bytes)
{
    unsigned long last = 0;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\r', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::wstring line;
        // Line feeds are skipped by the line reader, so they are skipped here too.
        for (std::size_t i = start; i < end && line.size() < 16; ++i)
            if (bytes[i] != '\n')
                line.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])));
        const SRecordLine parsed = ParseRecordLine(line);
        if (parsed.kind != SRecordLine::JUNK && parsed.nCount < kMaxFrames && parsed.nCount > last)
            last = parsed.nCount;
        start = end + 1;
    }
    return last + 2;
}

// The engine logs every message it routes until its first frame ends, and this engine never
// runs a frame: every input update would add a line per message. The replay reader is what
// is fuzzed here, not the routing (the package target runs a whole engine), so the messages
// the input system sends stop at this engine. The engine's own code is unchanged.
class CReplayOnlyEngine : public CGameEngine {
  public:
    int SendMessage(UINT, WPARAM, LPARAM) override { return 0; }
};

void RunReplay(const std::string& bytes)
{
    WriteLog(0, L""); // one input's log at a time, never a growing file
    {
        std::ofstream out("Record.dat", std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    CReplayOnlyEngine engine;
    CInputSystem* input = engine.GetInputSystem();
    // No window: device set-up stops at the cooperative level, but the back-pointer is
    // stored and replay needs no devices.
    input->InitEngineSystem(&engine);
    engine.SetGameUpdateCount(0);
    if (!input->ReplayInput(TRUE))
        return;
    const unsigned long frames = FramesFor(bytes);
    for (unsigned long frame = 0; frame < frames; ++frame) {
        input->Update();
        for (int key = 0; key < 256; ++key) {
            const KEYSTATE state = input->CheckKeyState(key);
            if (state != KS_NONE && state != KS_DOWN && state != KS_UP)
                __builtin_trap();
        }
        engine.SetGameUpdateCount(static_cast<DWORD>(frame + 1));
    }
    input->ReplayInput(FALSE);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::error_code ec;
    const std::filesystem::path previous = std::filesystem::current_path(ec);
    std::filesystem::current_path(ScratchFolder(), ec);
    RunReplay(std::string(reinterpret_cast<const char*>(data), size));
    std::filesystem::current_path(previous, ec);
    return 0;
}
