// The headless test host (see EngineHarness.h).
#include "common/EngineHarness.h"

#include <vireo/platform/D3D9Testing.h>
#include <vireo/platform/Testing.h>

#include <algorithm>
#include <iterator>

namespace vireo::test {
namespace {

CTestGame* g_game = nullptr;

LRESULT HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_game && g_game->SendMessage(msg, wParam, lParam))
        return 0;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The log file's lines, without CR LF.
std::vector<std::string> LogLines(const std::filesystem::path& log)
{
    const std::string bytes = ReadFileBytes(log);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find("\r\n", start), bytes.size());
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

void EngineTest::SetUp()
{
    vireo::testing::InstallVirtualClock();
    vireo::testing::ResetGraphicsControls();
    vireo::testing::SetAnsiCodePage("UTF-8");
    m_hwnd = CreateHostWindow(640, 480, HostWindowProc, true);
    ASSERT_NE(m_hwnd, nullptr);
    GetCursorPos(&m_cursorAtStart);
    m_game = std::make_unique<CTestGame>();
    g_game = m_game.get();
}

void EngineTest::TearDown()
{
    g_game = nullptr;
    m_game.reset();
    if (m_hwnd) {
        // The cursor is one for the whole process: put it back for the next test.
        POINT origin{0, 0};
        ClientToScreen(m_hwnd, &origin);
        vireo::testing::SetCursorClientPos(m_hwnd, m_cursorAtStart.x - origin.x, m_cursorAtStart.y - origin.y);
        DestroyWindow(m_hwnd);
    }
    DrainQueue();
    vireo::testing::ResetGraphicsControls();
    vireo::testing::SetDxDiagSystemInfo(vireo::testing::DxDiagSystemInfo{});
    vireo::testing::ClearFileVersions();
    vireo::testing::SetAnsiCodePage(nullptr);
    vireo::testing::UninstallVirtualClock();
}

SEngineParam EngineTest::Param(WORD fps) const
{
    return SceneParam(m_hwnd, fps);
}

void EngineTest::Start(WORD fps, DWORD initWorkMs)
{
    StartWith(Param(fps), initWorkMs);
}

void EngineTest::StartWith(const SEngineParam& param, DWORD initWorkMs)
{
    ShowWindow(m_hwnd, SW_SHOW);
    vireo::testing::SetForeground(m_hwnd, true);
    auto previous = m_game->onMessage;
    m_game->onMessage = [initWorkMs](UINT msg) {
        if (msg == EMSG_EG_INIT)
            vireo::testing::AdvanceClock(initWorkMs);
        return -1;
    };
    ASSERT_TRUE(m_game->EngineInit(&param));
    m_game->onMessage = previous;
    m_game->Take();
}

std::vector<std::string> EngineTest::LogMessages() const
{
    std::vector<std::string> messages;
    for (const std::string& line : LogLines(m_dir.Path() / "VireoEngine.log")) {
        const std::size_t sep = line.find(" > ");
        messages.push_back(sep == std::string::npos ? line : line.substr(sep + 3));
    }
    return messages;
}

std::vector<std::string> EngineTest::LeveledLogMessages() const
{
    std::vector<std::string> messages;
    for (const std::string& line : LogLines(m_dir.Path() / "VireoEngine.log")) {
        const std::size_t sep = line.find(" > ");
        if (line.rfind('[', 0) == 0 && sep != std::string::npos)
            messages.push_back(line.substr(1, 1) + ":" + line.substr(sep + 3));
    }
    return messages;
}

std::vector<UINT> EngineTest::SeenBetween(UINT first, UINT last) const
{
    std::vector<UINT> out;
    std::copy_if(m_game->seen.begin(), m_game->seen.end(), std::back_inserter(out),
                 [&](UINT msg) { return msg >= first && msg <= last; });
    return out;
}

std::vector<UINT> EngineTest::DrainQueue()
{
    std::vector<UINT> messages;
    MSG msg;
    // Bounded so a queue that refills itself fails the test instead of hanging it.
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        messages.push_back(msg.message);
    return messages;
}

} // namespace vireo::test
