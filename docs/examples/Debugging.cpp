// Debugging: a line of the game's own in VireoEngine.log, a screen capture saved from code
// (what Print Screen does), and debug mode's light-blue canvas. Checks the log line, the
// capture file and the canvas colour.
#include "ExampleHost.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vireo/support.h>

class CDebugGame : public CGameEngine {
  public:
    DWORD debugCanvas = 0;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        CRenderSystem* rs = GetRenderSystem();
        const DWORD frame = GetEngineStatus()->nUIUpdateCount;
        switch (msg) {
        case EMSG_EG_GAME_UPDATE:
            // [log]
            if (frame == 3)
                WriteLog(1, L"Game: %d enemies at level %s", 12, L"Forest"); // 1 trace, 2 warning, 3 error
            if (frame == 5)
                SetDebugMode(TRUE); // ClearCanvas() paints light blue from now on; Ctrl+` toggles it
            // [/log]
            break;
        case EMSG_RS_RENDER_BEGIN: // black, light blue in debug mode
            rs->ClearCanvas();
            break;
        case EMSG_RS_RENDER:
            // [capture]
            if (frame == 4)
                rs->SaveSceneToFile(L"Frame4.bmp", nullptr); // a BMP of the whole scene
            // [/capture]
            debugCanvas = ReadScenePixel(rs, 0, 0);
            break;
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }
};

static std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int main()
{
    CDebugGame game;
    CExampleHost host;
    if (!host.Start(game) || !host.RunUntil(8))
        return 1;
    host.Close();
    const std::string log = ReadFile("VireoEngine.log"), capture = ReadFile("Frame4.bmp");
    int failed = Check(log.find("Game: 12 enemies at level Forest") != std::string::npos, "the log holds the line");
    failed += Check(capture.rfind("BM", 0) == 0 && capture.size() == 54 + 320 * 240 * 4, "a 320 x 240 BMP capture");
    failed += Check(game.debugCanvas == 0xFFCDECFF, "the canvas is light blue in debug mode");
    return failed;
}
