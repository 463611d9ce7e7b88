// CLineReader: block reads split into lines. The splitting is done on whole code units in
// the buffer; a unit cut by a block boundary waits for the next block.
#include "support/LineReader.h"

#include "support/AnsiText.h"

#include <algorithm>
#include <cstring>

namespace vireo {

namespace {

constexpr std::size_t kLineUnits = 1023;

std::wstring AnsiLine(const std::string& bytes)
{
    std::wstring wide = AnsiToWide(bytes.data(), bytes.size());
    // A cut through a multibyte character leaves a stray '?' from its lead byte: drop it.
    if (bytes.size() == kLineUnits && !wide.empty() && wide.back() == L'?' && bytes.back() != '?')
        wide.pop_back();
    return wide;
}

// UTF-16 to whole code points; a lone surrogate is kept as its own value.
std::wstring UnicodeLine(const std::u16string& units)
{
    std::wstring wide;
    wide.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            wide.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00)));
            ++i;
        } else {
            wide.push_back(static_cast<wchar_t>(u));
        }
    }
    return wide;
}

} // namespace

CLineReader::CLineReader(HANDLE file, bool unicode, std::size_t blockBytes)
    : m_hFile(file), m_bUnicode(unicode), m_Buffer(std::max<std::size_t>(blockBytes, 2) + 1)
{
}

bool CLineReader::Fill()
{
    // Keep an unfinished code unit at the front, then read after it.
    const std::size_t kept = m_nEnd - m_nBegin;
    if (kept)
        std::memmove(m_Buffer.data(), m_Buffer.data() + m_nBegin, kept);
    m_nBegin = 0;
    m_nEnd = kept;
    DWORD read = 0;
    if (m_bEndOfFile ||
        !ReadFile(m_hFile, m_Buffer.data() + kept, static_cast<DWORD>(m_Buffer.size() - kept), &read, nullptr) ||
        read == 0) {
        m_bEndOfFile = true;
        return false;
    }
    m_nEnd += read;
    return true;
}

BOOL CLineReader::Next(std::wstring& line)
{
    const std::size_t unit = m_bUnicode ? 2 : 1;
    std::string bytes;
    std::u16string units;
    bool ended = false;
    while (!ended) {
        if (m_nEnd - m_nBegin < unit && !Fill())
            break;
        for (; m_nBegin + unit <= m_nEnd; m_nBegin += unit) {
            const unsigned value = m_bUnicode ? m_Buffer[m_nBegin] | (m_Buffer[m_nBegin + 1] << 8) : m_Buffer[m_nBegin];
            if (value == '\n')
                continue;
            if (value == '\r') {
                m_nBegin += unit;
                ended = true;
                break;
            }
            // Units past the line buffer are dropped, so the next line starts after the CR.
            if (m_bUnicode && units.size() < kLineUnits)
                units.push_back(static_cast<char16_t>(value));
            else if (!m_bUnicode && bytes.size() < kLineUnits)
                bytes.push_back(static_cast<char>(value));
        }
    }
    line = m_bUnicode ? UnicodeLine(units) : AnsiLine(bytes);
    // A trailing half unit at the end of the file is consumed, as a short read would.
    if (!ended && m_bEndOfFile)
        m_nBegin = m_nEnd;
    return !ended && bytes.empty() && units.empty() ? FALSE : TRUE;
}

bool CLineReader::GiveBack()
{
    const std::size_t unused = m_nEnd - m_nBegin;
    m_nBegin = m_nEnd = 0;
    if (unused == 0)
        return true;
    return SetFilePointer(m_hFile, -static_cast<LONG>(unused), nullptr, FILE_CURRENT) != INVALID_SET_FILE_POINTER ||
           GetLastError() == ERROR_SUCCESS;
}

} // namespace vireo
