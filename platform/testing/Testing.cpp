// The testing header's controls, forwarding to the clock, the code page, the presenter,
// the window code and the headless back end. Holds no state of its own; kept apart from
// platform/core so the core never names a concrete back end.
#include <vireo/platform/Testing.h>

#include "platform/backend/Backend.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/core/Clock.h"
#include "platform/core/CodePage.h"
#include "platform/core/DxDiagProvider.h"
#include "platform/core/FileObject.h"
#include "platform/core/FileVersion.h"
#include "platform/core/MessageBoxLog.h"
#include "platform/core/PresentControl.h"
#include "platform/core/RawInput.h"
#include "platform/core/Window.h"

#include <algorithm>
#include <cwctype>

namespace vireo::testing {

using platform::CClock;

void InstallVirtualClock()
{
    CClock::Instance().InstallVirtual();
}
void UninstallVirtualClock()
{
    CClock::Instance().UninstallVirtual();
}
void AdvanceClock(long long milliseconds)
{
    CClock::Instance().AdvanceMs(milliseconds);
}
void SetLocalDateTime(const SYSTEMTIME& now)
{
    CClock::Instance().SetVirtualLocalTime(now);
}

void SetAnsiCodePage(const char* name)
{
    platform::OverrideAnsiCodePage(name);
}

void KeepPresentedFrames(bool keep)
{
    platform::CHeadlessBackend::KeepPresentedFrames(keep);
}

Frame LastPresentedFrame()
{
    Frame frame;
    auto* headless = dynamic_cast<platform::CHeadlessBackend*>(platform::ActiveBackend());
    if (headless) {
        frame.width = headless->LastFrameWidth();
        frame.height = headless->LastFrameHeight();
        frame.pixels = headless->LastFrame();
    }
    return frame;
}

int PresentCount()
{
    return platform::PresentCount();
}
void ResetPresentCount()
{
    platform::ResetPresentCount();
}
void FailNextPresents(int count)
{
    platform::ScriptDeviceLoss(count);
}

std::vector<MessageBoxRecord> MessageBoxesShown()
{
    std::vector<MessageBoxRecord> out;
    for (const auto& shown : platform::MessageBoxesShown())
        out.push_back({shown.caption, shown.text, shown.type});
    return out;
}

void ClearMessageBoxes()
{
    platform::ClearMessageBoxesShown();
}

void SetClientSize(HWND window, int width, int height)
{
    platform::OnNativeClientSize(window, width, height);
}
void SetForeground(HWND window, bool foreground)
{
    platform::OnNativeFocus(window, foreground);
}

void SetMinimised(HWND window, bool minimised)
{
    platform::OnNativeMinimised(window, minimised);
    if (!minimised)
        platform::OnNativeFocus(window, true);
}

void CloseWindow(HWND window)
{
    platform::OnNativeClose(window);
}
void SetCursorClientPos(HWND window, int x, int y)
{
    platform::OnNativeCursor(window, x, y);
}

namespace {
void Deliver(platform::RawInputEvent::Kind kind, int code, int value)
{
    platform::DeliverRawInput({kind, code, value, GetTickCount()});
}
} // namespace

void InjectKey(int dikCode, bool down)
{
    Deliver(platform::RawInputEvent::Kind::Key, dikCode, down ? 1 : 0);
}
void InjectMouseButton(int button, bool down)
{
    Deliver(platform::RawInputEvent::Kind::MouseButton, button, down ? 1 : 0);
}

void InjectMouseMotion(int dx, int dy)
{
    if (dx)
        Deliver(platform::RawInputEvent::Kind::MouseMotion, 0, dx);
    if (dy)
        Deliver(platform::RawInputEvent::Kind::MouseMotion, 1, dy);
}

void InjectWheel(int delta)
{
    Deliver(platform::RawInputEvent::Kind::MouseWheel, 0, delta);
}
void InjectChar(HWND window, wchar_t character)
{
    platform::OnNativeChar(window, static_cast<char32_t>(character));
}

void InjectSysKey(HWND window, UINT virtualKey, bool down)
{
    platform::OnNativeKey(window, down, virtualKey, 0, false, true, false);
}

void SetClipboardText(const std::wstring& text)
{
    if (platform::CBackend* backend = platform::ActiveBackend())
        backend->Clipboard().SetText(text);
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (platform::CBackend* backend = platform::ActiveBackend())
        backend->Clipboard().GetText(text);
    return text;
}

void SetDxDiagSystemInfo(const DxDiagSystemInfo& info)
{
    platform::SetDxDiagSystemInfoValues({info.providerAvailable, info.major, info.minor, info.letter});
}

void SetFileVersion(const wchar_t* fileName, WORD a, WORD b, WORD c, WORD d)
{
    if (!fileName)
        return;
    std::wstring key(fileName);
    for (wchar_t& ch : key)
        ch = static_cast<wchar_t>(std::towlower(ch));
    VS_FIXEDFILEINFO info{};
    info.dwSignature = 0xFEEF04BD;
    info.dwStrucVersion = 0x00010000;
    info.dwFileVersionMS = MAKELONG(b, a);
    info.dwFileVersionLS = MAKELONG(d, c);
    info.dwProductVersionMS = info.dwFileVersionMS;
    info.dwProductVersionLS = info.dwFileVersionLS;
    platform::Planted().byName[key] = info;
}

void ClearFileVersions()
{
    platform::Planted().byName.clear();
}
void SetSystemDirectoryAvailable(bool available)
{
    platform::Planted().systemDirectoryAvailable = available;
}

void SetFileFaults(const FileFaults& faults)
{
    platform::FileFaultPlan& plan = platform::FileFaults();
    plan = {};
    plan.active = true;
    plan.pathContains = faults.pathContains;
    std::replace(plan.pathContains.begin(), plan.pathContains.end(), L'\\', L'/');
    plan.failOpen = faults.failOpen;
    plan.writeLimit = faults.writeLimit;
    plan.maxReadChunk = faults.maxReadChunk;
}

void ClearFileFaults()
{
    platform::FileFaults() = {};
}
long long FaultyFileWriteCalls()
{
    return platform::FileFaults().writeCalls;
}
long long FaultyFileReadCalls()
{
    return platform::FileFaults().readCalls;
}
long long FaultyFileSeekCalls()
{
    return platform::FileFaults().seekCalls;
}

namespace {
platform::CNullAudioOut* NullSink()
{
    platform::CBackend* backend = platform::ActiveBackend();
    return backend ? dynamic_cast<platform::CNullAudioOut*>(&backend->Audio()) : nullptr;
}
} // namespace

bool AudioOutOpen()
{
    platform::CNullAudioOut* sink = NullSink();
    return sink && sink->IsOpen();
}

void PullAudio(int frames)
{
    if (platform::CNullAudioOut* sink = NullSink())
        sink->Pull(frames);
}

void RecordAudio(bool on, std::size_t maxSamples)
{
    if (platform::CNullAudioOut* sink = NullSink())
        sink->SetRecording(on, maxSamples);
}

std::vector<std::int16_t> RecordedAudio()
{
    platform::CNullAudioOut* sink = NullSink();
    return sink ? sink->Recorded() : std::vector<std::int16_t>();
}

void ClearRecordedAudio()
{
    if (platform::CNullAudioOut* sink = NullSink())
        sink->ClearRecorded();
}

void FailAudioOpen(bool fail)
{
    if (platform::CNullAudioOut* sink = NullSink())
        sink->FailOpen(fail);
}

} // namespace vireo::testing
