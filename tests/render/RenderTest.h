// Whole-engine render tests: the headless host of EngineHarness.h plus the render system's
// device, its presented-frame count, the log lines written since a mark, the boxes shown,
// test images made in code, one frame drawn on black and read back, and the bounds of what
// was drawn.
#pragma once

#include "common/EngineHarness.h"
#include "platform/gfx/image/ImageDecoder.h"

#include <vireo/platform/D3D9Testing.h>
#include <vireo/platform/Testing.h>
#include <vireo/support.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// RECT lives in the global namespace, so its comparison and printing must too.
inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& os, const RECT& r)
{
    return os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace vireo::test {

class RenderTest : public EngineTest {
  protected:
    CRenderSystem* Render() { return m_game->GetRenderSystem(); }
    IDirect3DDevice9* Device() { return Render()->GetD3DDevice(); }
    int Presented() { return vireo::testing::PresentedFrameCount(Device()); }
    // A frame that presents into a lost device, then the frame that resets, restores and draws.
    void LoseAndReset()
    {
        vireo::testing::LoseDeviceOnNextPresent();
        m_game->Run();
        m_game->Run();
    }

    // Log messages written after the mark taken by MarkLog.
    void MarkLog() { m_logMark = LogMessages().size(); }
    std::vector<std::string> LogSinceMark() const { return Since(LogMessages(), m_logMark); }
    static std::vector<std::string> Since(std::vector<std::string> all, std::size_t mark)
    {
        all.erase(all.begin(), all.begin() + static_cast<long>(std::min(mark, all.size())));
        return all;
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

    // The boxes shown since the last clear, as "caption: text".
    static std::vector<std::wstring> Boxes()
    {
        std::vector<std::wstring> out;
        for (const auto& box : vireo::testing::MessageBoxesShown())
            out.push_back(box.caption + L": " + box.text);
        return out;
    }

    using Bytes = std::vector<std::uint8_t>;

    // Solid colour, or left half `left` and right half `right` (the split shows turning).
    static Bytes Bmp(int w, int h, std::uint32_t left, std::uint32_t right)
    {
        std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px[static_cast<std::size_t>(y) * w + x] = x < w / 2 ? left : right;
        return vireo::image::EncodeBmp(px.data(), w, h, w * 4);
    }
    static Bytes Bmp(int w, int h, std::uint32_t color) { return Bmp(w, h, color, color); }

    // A file in the scratch folder (its folders made first).
    void WriteFile(const std::string& name, const std::string& bytes) const { WriteFileBytes(m_dir.Path(name), bytes); }
    void WriteFile(const std::string& name, const Bytes& bytes) const
    {
        WriteFile(name, std::string(bytes.begin(), bytes.end()));
    }

    CPicture* FromBytes(Bytes bytes)
    {
        return Render()->CreatePicture(bytes.data(), static_cast<DWORD>(bytes.size()), 0);
    }

    // From now on every frame is a black canvas, the batch opened, `draw`, the batch closed; the
    // game's answer keeps the engine's own GUI drawing out of the picture unless `withGui`.
    void DrawEachFrame(std::function<void()> draw, bool openBatch = true, bool withGui = false)
    {
        m_game->onMessage = [this, draw, openBatch, withGui](UINT msg) {
            if (msg == EMSG_RS_RENDER_BEGIN) {
                Render()->ClearCanvas(0xFF000000);
                return 1;
            }
            if (msg == EMSG_RS_RENDER) {
                if (openBatch)
                    Render()->BeginSprite();
                draw();
                if (openBatch)
                    Render()->EndSprite();
                return withGui ? -1 : 1;
            }
            return -1;
        };
    }
    // One such frame, read back.
    vireo::testing::Frame DrawFrame(const std::function<void()>& draw, bool openBatch = true)
    {
        DrawEachFrame(draw, openBatch);
        m_game->Run();
        m_game->onMessage = nullptr;
        return vireo::testing::ReadBackBuffer(Device());
    }

    // A COM object's reference count, left as it was.
    static ULONG ComCount(IUnknown* object)
    {
        object->AddRef();
        return object->Release();
    }

    static std::uint32_t Pixel(const vireo::testing::Frame& f, int x, int y)
    {
        return f.pixels[static_cast<std::size_t>(y) * f.width + x];
    }

    // The smallest rectangle (right and bottom exclusive) holding every pixel of `area` that
    // `match` takes; all zero when none does.
    static RECT Bounds(const vireo::testing::Frame& f, RECT area, const std::function<bool(std::uint32_t)>& match)
    {
        RECT r{INT_MAX, INT_MAX, 0, 0}; // LONG is 32 bits, as on Windows
        for (LONG y = area.top; y < area.bottom; ++y)
            for (LONG x = area.left; x < area.right; ++x)
                if (match(Pixel(f, x, y)))
                    r = RECT{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                             std::max(r.bottom, y + 1)};
        return r.right == 0 ? RECT{0, 0, 0, 0} : r;
    }
    // The bounds of every pixel that is not opaque black.
    static RECT Drawn(const vireo::testing::Frame& f)
    {
        return Bounds(f, {0, 0, f.width, f.height}, [](std::uint32_t p) { return p != 0xFF000000u; });
    }

    std::size_t m_logMark = 0;
};

// The same with the engine started (800 x 600 scene, uncapped) and no box left from before.
class StartedRenderTest : public RenderTest {
  protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        Start(0);
        vireo::testing::ClearMessageBoxes();
    }
};

} // namespace vireo::test
