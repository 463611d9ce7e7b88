// Whole-engine render tests: the headless host of EngineHarness.h plus the render system's
// device, its presented-frame count and the log lines written since a mark.
#pragma once

#include "common/EngineHarness.h"

#include <vireo/platform/D3D9Testing.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vireo::test {

class RenderTest : public EngineTest {
  protected:
    CRenderSystem* Render() { return m_game->GetRenderSystem(); }
    IDirect3DDevice9* Device() { return Render()->GetD3DDevice(); }
    int Presented() { return vireo::testing::PresentedFrameCount(Device()); }

    // Ctrl+F11 of the default message procedure toggles this live status field; the test
    // flips it directly.
    void SetWireframe(bool on) { const_cast<SEngineStatus*>(m_game->GetEngineStatus())->bWireframe = on; }

    // Log messages written after the mark taken by MarkLog.
    void MarkLog() { m_logMark = LogMessages().size(); }
    std::vector<std::string> LogSinceMark() const
    {
        const auto all = LogMessages();
        return std::vector<std::string>(all.begin() + static_cast<long>(std::min(m_logMark, all.size())), all.end());
    }
    static int Count(const std::vector<std::string>& lines, const std::string& line)
    {
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
    static int CountPrefix(const std::vector<std::string>& lines, const std::string& prefix)
    {
        return static_cast<int>(
            std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
    static int Count(const std::vector<UINT>& messages, UINT msg)
    {
        return static_cast<int>(std::count(messages.begin(), messages.end(), msg));
    }

    std::size_t m_logMark = 0;
};

} // namespace vireo::test
