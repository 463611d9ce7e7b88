// Draws the GUI packages: flat light controls with a soft vertical shade and a rounded
// outline, on a pale dialog panel with a blue title band. The engine writes captions in
// black, so every surface that carries text is light. No text is drawn here.
#include "GuiArt.h"

namespace artgen {
namespace {

std::string Desc(int pictures)
{
    // Every key the package reader would otherwise add, so loading never rewrites the file.
    return "[Picture]\r\nPictureCount=" + std::to_string(pictures) +
           "\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n\r\n"
           "[Animation]\r\nFrameDelay=0\r\nSeqCount=0\r\n\r\n"
           "[HitBox]\r\nHitBoxCount=0\r\n\r\n"
           "[CenterPoint]\r\n000=0,0\r\n";
}

// A rounded box of outline colour with a vertically shaded inside one pixel in.
void Box(Canvas& canvas, float left, float top, float right, float bottom, float radius, Rgba outline, Rgba topFill,
         Rgba bottomFill)
{
    canvas.Paint([=](float x, float y) { return InRoundRect(x, y, left, top, right, bottom, radius); }, outline);
    canvas.Paint(
        [=](float x, float y) { return InRoundRect(x, y, left + 1, top + 1, right - 1, bottom - 1, radius - 1); },
        [=](float, float y) { return Mix(topFill, bottomFill, (y - top) / (bottom - top)); });
}

Canvas Dialog()
{
    Canvas canvas(320, 230);
    Box(canvas, 0, 0, 320, 230, 8, FromHex(0x3A4A66), FromHex(0xEEF1F6), FromHex(0xD9DFEA));
    canvas.Paint([](float x, float y) { return InRoundRect(x, y, 4, 4, 316, 30, 5); },
                 [](float, float y) { return Mix(FromHex(0x9DB8E6), FromHex(0x7497D2), (y - 4) / 26); });
    return canvas;
}

// State 0 normal, 1 highlighted, 2 pressed.
void ButtonFace(Canvas& canvas, float left, float top, float right, float bottom, int state)
{
    const Rgba outline[] = {FromHex(0x56657F), FromHex(0x3C7BD9), FromHex(0x2A4F8C)};
    const Rgba upper[] = {FromHex(0xF2F5FA), FromHex(0xFFFFFF), FromHex(0xB9C6DB)};
    const Rgba lower[] = {FromHex(0xC9D2E0), FromHex(0xDDE8F8), FromHex(0xD6DEEA)};
    Box(canvas, left, top, right, bottom, 5, outline[state], upper[state], lower[state]);
}

Canvas Button(int state)
{
    Canvas canvas(104, 28);
    ButtonFace(canvas, 0, 0, 104, 28, state);
    return canvas;
}

// Pictures 0-2 unchecked, 3 unused (a copy of 0), 4-6 checked.
Canvas CheckBox(int picture)
{
    const int state = picture % 4 == 3 ? 0 : picture % 4;
    const bool checked = picture >= 4;
    Canvas canvas(200, 26);
    ButtonFace(canvas, 0, 0, 200, 26, state);
    Box(canvas, 6, 5, 22, 21, 3, FromHex(0x3A4A66), FromHex(0xFFFFFF), FromHex(0xE4E9F2));
    if (checked) {
        const Rgba tick = FromHex(0x1F8A4C);
        canvas.Paint([](float x, float y) { return InCapsule(x, y, 9.5f, 13, 13, 17, 1.6f); }, tick);
        canvas.Paint([](float x, float y) { return InCapsule(x, y, 13, 17, 19, 8.5f, 1.6f); }, tick);
    }
    return canvas;
}

Canvas EditFrame()
{
    const float size = 4 * kEditFrameBorder;
    Canvas canvas(4 * kEditFrameBorder, 4 * kEditFrameBorder);
    canvas.Paint([=](float x, float y) { return InRoundRect(x, y, 0, 0, size, size, 3); }, FromHex(0x6A7A96));
    canvas.Paint([=](float x, float y) { return InRoundRect(x, y, 1, 1, size - 1, size - 1, 2); }, FromHex(0xFFFFFF));
    return canvas;
}

SpritePackage Package(std::vector<Canvas> frames)
{
    SpritePackage package;
    package.desc = Desc(static_cast<int>(frames.size()));
    package.frames = std::move(frames);
    return package;
}

} // namespace

std::vector<std::pair<std::string, SpritePackage>> DrawGuiPackages()
{
    std::vector<Canvas> checkBox;
    for (int i = 0; i < 7; ++i)
        checkBox.push_back(CheckBox(i));
    return {
        {"dialog", Package({Dialog()})},
        {"button", Package({Button(0), Button(1), Button(2)})},
        {"checkbox", Package(std::move(checkBox))},
        {"edit", Package({EditFrame()})},
    };
}

} // namespace artgen
