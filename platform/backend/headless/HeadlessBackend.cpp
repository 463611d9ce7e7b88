// Headless back end: everything a window system would do, done in memory.
// It never fails to start and never blocks.
#include "platform/backend/headless/HeadlessBackend.h"

#include "platform/core/MessageBoxLog.h"

#include <atomic>
#include <cstring>

namespace vireo::platform {
namespace {

class CHeadlessWindow : public IBackendWindow {
  public:
    void SetTitle(const std::wstring&) override {}
    void SetClientSize(int, int) override {}
    void SetClientOrigin(int, int) override {}
    void Show(bool) override {}
    void Minimise() override {}
    void Restore() override {}
    void Raise() override {}
};

} // namespace

bool CHeadlessBackend::Start(std::string&)
{
    m_audio.SetClockStep(true); // the mix follows the (possibly virtual) clock
    return true;
}

std::unique_ptr<IBackendWindow> CHeadlessBackend::CreateNativeWindow(const WindowDesc&)
{
    return std::make_unique<CHeadlessWindow>();
}

namespace {
std::atomic<bool> g_keepPresentedFrames{false};
} // namespace

void CHeadlessBackend::KeepPresentedFrames(bool keep)
{
    g_keepPresentedFrames.store(keep, std::memory_order_relaxed);
}

PresentResult CHeadlessBackend::Present(HWND, const FrameView& frame)
{
    if (!g_keepPresentedFrames.load(std::memory_order_relaxed))
        return PresentResult::Shown;
    if (!frame.pixels || frame.width <= 0 || frame.height <= 0 ||
        frame.pitch < frame.width * static_cast<int>(sizeof(std::uint32_t)))
        return PresentResult::Shown; // nothing sensible to keep; the previous frame stays
    m_lastWidth = frame.width;
    m_lastHeight = frame.height;
    m_lastFrame.resize(static_cast<std::size_t>(frame.width) * frame.height);
    const auto* row = reinterpret_cast<const unsigned char*>(frame.pixels);
    for (int y = 0; y < frame.height; ++y, row += frame.pitch)
        std::memcpy(&m_lastFrame[static_cast<std::size_t>(y) * frame.width], row, frame.width * sizeof(std::uint32_t));
    return PresentResult::Shown;
}

bool CHeadlessBackend::GetText(std::wstring& text)
{
    if (!m_clipboardHasText)
        return false;
    text = m_clipboard;
    return true;
}

bool CHeadlessBackend::SetText(const std::wstring& text)
{
    m_clipboard = text;
    m_clipboardHasText = true;
    return true;
}

int CHeadlessBackend::Show(HWND, const std::wstring& caption, const std::wstring& text, UINT type)
{
    return AnswerMessageBoxOnStderr(caption, text, type);
}

} // namespace vireo::platform
