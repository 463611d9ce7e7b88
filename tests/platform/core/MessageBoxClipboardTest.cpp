// Message boxes are recorded and answered with the first button headless; the clipboard
// follows the open/get/set/close protocol and owns what it is given.
#include <vireo/platform/Testing.h>
#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(MessageBox, RecordedAndAnsweredWithTheFirstButton)
{
    vireo::testing::ClearMessageBoxes();
    struct Row {
        UINT type;
        int answer;
    } rows[] = {{MB_OK, IDOK},           {MB_OKCANCEL | MB_ICONERROR, IDOK}, {MB_YESNO, IDYES},
                {MB_YESNOCANCEL, IDYES}, {MB_RETRYCANCEL, IDRETRY},          {MB_ABORTRETRYIGNORE, IDABORT}};
    for (const Row& row : rows)
        EXPECT_EQ(MessageBoxW(nullptr, L"找不到文件", L"Vireo Engine", row.type), row.answer);
    EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK);
    const auto shown = vireo::testing::MessageBoxesShown();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].caption, L"Vireo Engine");
    EXPECT_EQ(shown[0].text, L"找不到文件");
    EXPECT_EQ(shown[1].type, MB_OKCANCEL | MB_ICONERROR);
    EXPECT_EQ(shown[6].caption, L"Error");
    EXPECT_EQ(shown[6].text, L"");
    vireo::testing::ClearMessageBoxes();
    EXPECT_TRUE(vireo::testing::MessageBoxesShown().empty());
}

std::wstring PasteText()
{
    std::wstring text = L"<closed>";
    if (!OpenClipboard(nullptr))
        return text;
    text = L"<none>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST(Clipboard, TextRoundTripsThroughTheProtocol)
{
    vireo::testing::SetClipboardText(L"");
    EXPECT_EQ(PasteText(), L"<none>");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    vireo::testing::SetClipboardText(L"abc 中");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(PasteText(), L"abc 中");

    // Copy: the block becomes the clipboard's; a text without terminator ends at the block.
    const wchar_t unterminated[] = {L'x', L'y', L'z'};
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(unterminated));
    ASSERT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), unterminated, sizeof(unterminated));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr); // not open
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)); // already open
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), block);
    EXPECT_EQ(GlobalFree(block), block); // owned by the clipboard now: refused
    EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_EQ(vireo::testing::ClipboardText(), L"xyz");
    EXPECT_EQ(PasteText(), L"xyz");

    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, std::size_t{1} << 40), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    HGLOBAL mine = GlobalAlloc(GHND, 8);
    EXPECT_EQ(GlobalSize(mine), 8u);
    EXPECT_EQ(GlobalFree(mine), nullptr);
    EXPECT_EQ(GlobalLock(mine), nullptr);
}

} // namespace
