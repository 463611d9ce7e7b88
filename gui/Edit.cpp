// CGEdit: one-line text entry fed by WM_CHAR (surrogate pairs joined into one character),
// with Backspace and Ctrl+V, drawn as a nine-slice frame, the text and a blinking caret
// that also tells the input method where to put its candidate window. No selection,
// caret movement or length limit.
#include <vireo/engine.h>

#include "gui/TextCaret.h"

#include <algorithm>

namespace {
constexpr wchar_t kBackspace = 8;
constexpr wchar_t kPaste = 22; // Ctrl+V
constexpr DWORD kBlack = 0xFF000000;

bool IsIgnored(wchar_t ch)
{
    // Ctrl+A, Ctrl+C, Tab, Enter, Ctrl+X, Escape and NUL add nothing.
    return ch == 0 || ch == 1 || ch == 3 || ch == 9 || ch == 13 || ch == 24 || ch == 27;
}

// The part of the text the box can show: the leading characters up to past its right edge
// (all of them when the text is narrower), and their width. The text is left-aligned on one
// line, so what lies further right is never seen, and a long text costs the box no more to
// measure and draw than one that just fills it. Prefixes double from kShortText characters;
// a text no longer than that is drawn whole without measuring.
constexpr std::size_t kShortText = 64;
struct SShownText {
    std::size_t count;
    int width;
};
SShownText ShownText(CEngineFont* font, const std::wstring& text, int boxWidth)
{
    const HDC dc = font->GetD3DXFont()->GetDC();
    const int overhang = font->GetFontSize().cy; // ink a glyph may throw left of its pen
    for (std::size_t count = kShortText;; count *= 2) {
        count = std::min(count, text.size());
        SIZE extent{0, 0};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(count), &extent);
        if (count == text.size() || extent.cx > boxWidth + overhang)
            return {count, static_cast<int>(extent.cx)};
    }
}
} // namespace

CGEdit::CGEdit()
{
    m_size4 = {1, 1, 1, 1};
}

CGEdit::~CGEdit()
{
    vireo::gui::ReleaseTextCaret(this);
}

int CGEdit::MessageProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CHAR)
        OnChar(static_cast<wchar_t>(wParam));
    else if (msg == EMSG_EG_UI_UPDATE && GetFocus() == this)
        vireo::gui::PlaceTextCaret(this, GetGameEngine(), CaretRect());
    else if (msg == EMSG_EG_UI_UPDATE)
        vireo::gui::ReleaseTextCaret(this);
    return CGWnd::MessageProc(msg, wParam, lParam);
}

void CGEdit::OnChar(wchar_t ch)
{
    if (ch >= 0xD800 && ch <= 0xDBFF) {
        m_chHighSurrogate = ch;
        return;
    }
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
        // A low half without its high half is dropped: it is no character.
        if (m_chHighSurrogate)
            m_strText += static_cast<wchar_t>(0x10000 + ((m_chHighSurrogate - 0xD800) << 10) + (ch - 0xDC00));
        m_chHighSurrogate = 0;
        return;
    }
    m_chHighSurrogate = 0;
    if (ch == kBackspace) {
        if (!m_strText.empty())
            m_strText.pop_back();
    } else if (ch == kPaste) {
        Paste();
    } else if (!IsIgnored(ch)) {
        m_strText += ch;
    }
}

void CGEdit::Paste()
{
    if (!OpenClipboard(nullptr))
        return;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            m_strText = text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
}

RECT CGEdit::TextRect() const
{
    RECT abs;
    GetWindowRectAbs(&abs);
    const int fontHeight = m_pFont ? m_pFont->GetFontSize().cy : 0;
    const int top = abs.top + (Height() - fontHeight) / 2;
    const int left = abs.left + m_size4.nLeft;
    return RECT{left, top, left + Width() - 4 - m_size4.nRight - m_size4.nLeft, top + fontHeight};
}

RECT CGEdit::CaretRect() const
{
    const RECT text = TextRect();
    const int width = m_pFont && !m_strText.empty() ? ShownText(m_pFont, m_strText, text.right - text.left).width : 0;
    const int x = width < text.right - text.left ? text.left + width : text.right;
    return RECT{x, text.top + 1, x + 2, text.bottom - 1};
}

void CGEdit::DrawFrame() const
{
    if (!m_pResource || !m_pResource->IsPictureExist(0))
        return;
    const CPicture* picture = m_pResource->GetPicture(0);
    RECT a;
    GetWindowRectAbs(&a);
    const int ax = a.left, ay = a.top, aw = Width(), ah = Height();
    const int pw = picture->Width(), ph = picture->Height();
    const int L = m_size4.nLeft, T = m_size4.nTop, R = m_size4.nRight, B = m_size4.nBottom;
    const RECT corners[4] = {{0, 0, L, T}, {pw - R, 0, pw, T}, {0, ph - B, L, ph}, {pw - R, ph - B, pw, ph}};
    const POINT cornerAt[4] = {{ax, ay}, {ax + aw - R, ay}, {ax, ay + ah - B}, {ax + aw - R, ay + ah - B}};
    for (int i = 0; i < 4; ++i)
        picture->Draw(cornerAt[i].x, cornerAt[i].y, &corners[i]);
    struct Piece {
        RECT source;
        int x, y, cx, cy;
    };
    const Piece pieces[5] = {
        {{L, 0, pw - R, T}, ax + L, ay, aw - R - L, T},
        {{L, ph - B, pw - R, ph}, ax + L, ay + ah - B, aw - R - L, B},
        {{0, T, L, ph - B}, ax, ay + T, L, ah - B - T},
        {{pw - R, T, pw, ph - B}, ax + aw - R, ay + T, R, ah - B - T},
        {{L, T, pw - R, ph - B}, ax + L, ay + T, aw - R - L, ah - B - T},
    };
    for (const Piece& piece : pieces)
        picture->DrawStretch(piece.x, piece.y, piece.cx, piece.cy, &piece.source);
}

void CGEdit::OnRender(DWORD) const
{
    DrawFrame();
    CGameEngine* engine = GetGameEngine();
    if (!engine || !m_pFont)
        return;
    CRenderSystem* render = engine->GetRenderSystem();
    const RECT text = TextRect();
    render->SetPictureColorOP(D3DTOP_MODULATE);
    if (!m_strText.empty()) {
        std::wstring part; // a long text cut to what the box shows
        const wchar_t* shown = m_strText.c_str();
        if (m_strText.size() > kShortText) {
            part = m_strText.substr(0, ShownText(m_pFont, m_strText, text.right - text.left).count);
            shown = part.c_str();
        }
        m_pFont->Draw(shown, text.left, text.top, text.right - text.left, text.bottom - text.top, kBlack,
                      DT_SINGLELINE | DT_WORDBREAK);
    }
    if (GetFocus() == this && engine->GetEngineStatus()->nUIUpdateCount % 100 < 50) {
        const RECT caret = CaretRect();
        render->FlushSprite();
        render->FillRect(&caret, kBlack);
    }
}
