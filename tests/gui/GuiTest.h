// Whole-engine fixture for the GUI tests: a 640 x 480 scene on a 640 x 480 client (cursor
// client positions are scene positions), frames on the virtual clock that draw the GUI tree
// over black, injected mouse, keys and characters, solid-colour packages, and the GUI
// events (6005-6008) the game received, in order; a dialog of the test's own destroyed before
// the engine that holds the GUI context.
#pragma once

#include "render/RenderTest.h"

#include <vireo/engine.h>

#include <memory>
#include <string>
#include <vector>

namespace vireo::test {

class GuiTest : public RenderTest {
  protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        SEngineParam param = Param(0);
        param.sizeScene = SIZE{640, 480};
        StartWith(param);
        vireo::testing::ClearMessageBoxes();
        DrawEachFrame([this] {
            Render()->SetPictureColorOP(D3DTOP_ADDSMOOTH);
            Main()->DoRender();
        });
        Frame();
        Cursor(600, 400); // away from every window a test makes
    }
    void TearDown() override
    {
        m_dialog.reset();
        RenderTest::TearDown();
    }

    CGWnd* Main() { return m_game->GetMainGWnd(); }

    // One frame: pending window messages (WM_CHAR) first, then Run; returns the frame drawn.
    vireo::testing::Frame Frame()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        m_game->seen.clear();
        vireo::testing::AdvanceClock(20);
        m_game->Run();
        return vireo::testing::ReadBackBuffer(Device());
    }
    // One frame, and the GUI events the game got in it.
    std::vector<UINT> FrameEvents()
    {
        Frame();
        return SeenBetween(EMSG_UI_SET_FOCUS, EMSG_UI_BUTTON_STATE_CHANGE);
    }
    void Cursor(int x, int y) { vireo::testing::SetCursorClientPos(m_hwnd, x, y); }
    static void Left(bool down) { vireo::testing::InjectMouseButton(0, down); }
    // A key pressed or released, and the GUI events of the frame that reads it.
    std::vector<UINT> Key(int key, bool down)
    {
        vireo::testing::InjectKey(key, down);
        return FrameEvents();
    }

    // A folder package of solid pictures, 40 x 20 each; a colour of 0 leaves that number
    // without a file.
    std::wstring Package(const std::string& name, const std::vector<std::uint32_t>& colors, int w = 40, int h = 20)
    {
        WriteFile(name + "/Desc.ini", "[Picture]\r\nPictureCount=" + std::to_string(colors.size()) +
                                          "\r\nColorKey_R=1\r\nColorKey_G=2\r\nColorKey_B=3\r\n");
        for (std::size_t i = 0; i < colors.size(); ++i) {
            if (!colors[i])
                continue;
            const std::string number = std::to_string(i);
            WriteFile(name + "/" + std::string(3 - number.size(), '0') + number + ".bmp", Bmp(w, h, colors[i]));
        }
        return (m_dir.Path() / name).wstring();
    }
    std::unique_ptr<CGDialog> m_dialog;
};

} // namespace vireo::test
