// Pictures and packages: a picture painted in code and the two gems of a sprite package
// (a folder, or the package file vireo-pack makes of it; the path is the first argument),
// drawn through the sprite batch and read back from the scene.
#include "ExampleHost.h"

#include <cwchar>
#include <string>

class CGemGame : public CGameEngine {
  public:
    explicit CGemGame(std::wstring package) : m_package(std::move(package)) {}
    DWORD red = 0, green = 0, blue = 0, keyed = 0; // pixels read back after drawing
    int pictures = 0;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        CRenderSystem* rs = GetRenderSystem();
        switch (msg) {
        // [load]
        case EMSG_EG_INIT:
            m_square = rs->CreateDynamicPicture(32, 32);    // a render target the game paints
            m_square->ColorFill(nullptr, 0xFFFF0000);       // (again after a device reset)
            m_gems = rs->CreateResource(m_package.c_str()); // folder or package file; null if missing
            if (m_gems)
                pictures = m_gems->GetPictureCount();
            break;
        // [/load]
        case EMSG_RS_RENDER_BEGIN:
            rs->ClearCanvas(0xFF000000);
            break;
        // [draw]
        case EMSG_RS_RENDER:
            rs->BeginSprite(); // every picture draws inside the one sprite batch
            m_square->Draw(10, 10);
            if (CPicture* gem = m_gems ? m_gems->GetPicture(0) : nullptr)
                gem->DrawCenter(100, 100); // the green gem centred on (100, 100)
            if (CPicture* gem = m_gems ? m_gems->GetPicture(1) : nullptr)
                gem->Draw(200, 100); // the blue one with its top-left corner there
            rs->EndSprite();
            // [/draw]
            red = ReadScenePixel(rs, 20, 20);
            green = ReadScenePixel(rs, 100, 100);
            blue = ReadScenePixel(rs, 208, 108);
            keyed = ReadScenePixel(rs, 200, 100); // a corner of the gem: the colour key, transparent
            break;
        case EMSG_EG_DESTROY:
            rs->ReleasePicture(&m_square);
            if (m_gems)
                rs->ReleaseResource(m_gems);
            break;
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }

  private:
    std::wstring m_package;
    CPicture* m_square = nullptr;
    CResource* m_gems = nullptr;
};

int main(int argc, char** argv)
{
    const std::string path = argc > 1 ? argv[1] : "../data/Gems";
    CGemGame game(std::wstring(path.begin(), path.end()));
    CExampleHost host;
    if (!host.Start(game) || !host.RunUntil(3))
        return 1;
    host.Close();
    int failed = Check(game.pictures == 2, "the package holds two pictures");
    failed += Check((game.red & 0xFFFFFF) == 0xFF0000, "the painted square is red");
    failed += Check((game.green & 0xFFFFFF) == 0x00C800, "the first gem is green");
    failed += Check((game.blue & 0xFFFFFF) == 0x0000FF, "the second gem is blue");
    failed += Check((game.keyed & 0xFFFFFF) == 0, "the colour key is transparent");
    return failed;
}
