// Text and binary .x tokenizers. Every length read from the data is checked against the bytes
// left before it is used, so a record that claims more than the file holds ends the stream
// with an error instead of a read past the end.
#include "platform/gfx/mesh/XTokens.h"

#include <charconv>
#include <cstring>

namespace vireo::gfx::xfile {

Token TokenStream::Fail(std::string text)
{
    if (m_error.empty())
        m_error = std::move(text);
    m_pos = m_size;
    Token t;
    t.kind = TokenKind::Error;
    return t;
}

// ---- text ------------------------------------------------------------------------------------

namespace {

bool IsWordChar(std::uint8_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c >= 0x80;
}

bool IsDigit(std::uint8_t c)
{
    return c >= '0' && c <= '9';
}

} // namespace

Token TextTokenStream::FailHere(const char* what)
{
    return Fail(std::string(what) + " at line " + std::to_string(m_line));
}

void TextTokenStream::SkipBlanks()
{
    while (m_pos < m_size) {
        const std::uint8_t c = m_data[m_pos];
        if (c == '\n') {
            ++m_line;
            ++m_pos;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == 0) {
            ++m_pos;
        } else if (c == '#' || (c == '/' && m_pos + 1 < m_size && m_data[m_pos + 1] == '/')) {
            while (m_pos < m_size && m_data[m_pos] != '\n')
                ++m_pos;
        } else {
            return;
        }
    }
}

Token TextTokenStream::Next()
{
    SkipBlanks();
    Token t;
    if (m_pos >= m_size)
        return t;
    const std::uint8_t c = m_data[m_pos];
    const auto* text = reinterpret_cast<const char*>(m_data);
    switch (c) {
    case '{':
        ++m_pos;
        t.kind = TokenKind::Open;
        return t;
    case '}':
        ++m_pos;
        t.kind = TokenKind::Close;
        return t;
    case ',':
    case ';':
        ++m_pos;
        t.kind = TokenKind::Separator;
        return t;
    case '"': {
        const std::size_t start = ++m_pos;
        while (m_pos < m_size && m_data[m_pos] != '"') {
            if (m_data[m_pos] == '\n')
                ++m_line;
            ++m_pos;
        }
        if (m_pos >= m_size)
            return FailHere("unterminated string");
        t.kind = TokenKind::String;
        t.text = std::string_view(text + start, m_pos - start);
        ++m_pos;
        return t;
    }
    case '<': {
        // A GUID is 36 characters; anything much longer is not one.
        const std::size_t start = m_pos;
        while (m_pos < m_size && m_data[m_pos] != '>' && m_pos - start < 64)
            ++m_pos;
        if (m_pos >= m_size || m_data[m_pos] != '>')
            return FailHere("unterminated GUID");
        ++m_pos;
        t.kind = TokenKind::Guid;
        return t;
    }
    default:
        break;
    }

    const bool sign = (c == '-' || c == '+');
    const std::size_t digitAt = m_pos + (sign ? 1 : 0);
    const bool number =
        digitAt < m_size &&
        (IsDigit(m_data[digitAt]) || (m_data[digitAt] == '.' && digitAt + 1 < m_size && IsDigit(m_data[digitAt + 1])));
    if (number) {
        std::size_t end = digitAt;
        bool integral = true;
        while (end < m_size) {
            const std::uint8_t d = m_data[end];
            if (IsDigit(d)) {
                ++end;
            } else if (d == '.' || d == 'e' || d == 'E') {
                integral = false;
                ++end;
                if ((d == 'e' || d == 'E') && end < m_size && (m_data[end] == '-' || m_data[end] == '+'))
                    ++end;
            } else {
                break;
            }
        }
        double value = 0;
        const auto parsed = std::from_chars(text + digitAt, text + end, value);
        if (parsed.ec != std::errc() || parsed.ptr != text + end)
            return FailHere("bad number");
        m_pos = end;
        t.kind = TokenKind::Number;
        t.number = c == '-' ? -value : value;
        t.integral = integral;
        return t;
    }
    if (IsWordChar(c)) {
        const std::size_t start = m_pos;
        while (m_pos < m_size && IsWordChar(m_data[m_pos]))
            ++m_pos;
        t.text = std::string_view(text + start, m_pos - start);
        t.kind = t.text == "template" ? TokenKind::Template : TokenKind::Name;
        return t;
    }
    ++m_pos;
    t.kind = TokenKind::Other;
    return t;
}

// ---- binary ----------------------------------------------------------------------------------

namespace {

enum : std::uint32_t {
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
};

} // namespace

bool BinaryTokenStream::Read(std::size_t bytes, std::uint32_t* value)
{
    if (m_size - m_pos < bytes)
        return false;
    std::uint32_t v = 0;
    for (std::size_t i = bytes; i-- > 0;)
        v = (v << 8) | m_data[m_pos + i];
    m_pos += bytes;
    *value = v;
    return true;
}

Token BinaryTokenStream::Next()
{
    Token t;
    if (m_listLeft > 0) {
        --m_listLeft;
        t.kind = TokenKind::Number;
        if (!m_listFloats) {
            std::uint32_t v = 0;
            Read(4, &v); // the list's length was checked against the data when it began
            t.number = v;
            t.integral = true;
        } else if (m_floatSize == 4) {
            float f;
            std::memcpy(&f, m_data + m_pos, 4);
            m_pos += 4;
            t.number = f;
        } else {
            double d;
            std::memcpy(&d, m_data + m_pos, 8);
            m_pos += 8;
            t.number = d;
        }
        return t;
    }
    if (m_pos >= m_size)
        return t;
    std::uint32_t id = 0;
    if (!Read(2, &id))
        return Fail("truncated token");
    const auto* text = reinterpret_cast<const char*>(m_data);
    std::uint32_t count = 0;
    switch (id) {
    case kName:
    case kString:
        if (!Read(4, &count) || count > m_size - m_pos)
            return Fail("name or string longer than the data");
        t.kind = id == kName ? TokenKind::Name : TokenKind::String;
        t.text = std::string_view(text + m_pos, count);
        m_pos += count;
        return t;
    case kInteger:
        if (!Read(4, &count))
            return Fail("truncated integer");
        t.kind = TokenKind::Number;
        t.number = count;
        t.integral = true;
        return t;
    case kGuid:
        if (m_size - m_pos < 16)
            return Fail("truncated GUID");
        m_pos += 16;
        t.kind = TokenKind::Guid;
        return t;
    case kIntegerList:
    case kFloatList: {
        m_listFloats = id == kFloatList;
        const std::size_t element = m_listFloats ? m_floatSize : 4;
        if (!Read(4, &count) || count > (m_size - m_pos) / element)
            return Fail("list longer than the data");
        m_listLeft = count;
        t.kind = TokenKind::Separator; // an empty list is nothing; the elements follow
        return t;
    }
    case kOpenBrace:
        t.kind = TokenKind::Open;
        return t;
    case kCloseBrace:
        t.kind = TokenKind::Close;
        return t;
    case kComma:
    case kSemicolon:
        t.kind = TokenKind::Separator;
        return t;
    case kTemplate:
        t.kind = TokenKind::Template;
        return t;
    default:
        // Punctuation (12-18) and type keywords (40-53) appear in templates only.
        if ((id >= 12 && id <= 18) || (id >= 40 && id <= 53)) {
            t.kind = TokenKind::Other;
            return t;
        }
        return Fail("unknown token " + std::to_string(id));
    }
}

} // namespace vireo::gfx::xfile
