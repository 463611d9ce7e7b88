// The engine's own wide printf (see WideFormat.h for the accepted conversions).
// Every field is built in a small local buffer and copied through a sink that stops at the
// caller's buffer; nothing here allocates except the conversion of a narrow %S string.
#include "support/WideFormat.h"

#include "support/AnsiText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace vireo {
namespace {

// Widths and precisions beyond this are clamped: the output is cut at the buffer anyway, and
// the clamp keeps the arithmetic below far from overflow.
constexpr long kMaxFieldWidth = 1 << 20;
// Floating-point precision is clamped so the narrow scratch text stays small.
constexpr int kMaxFloatPrecision = 400;

class Sink {
  public:
    Sink(wchar_t* buffer, std::size_t capacity) : m_buffer(buffer), m_capacity(capacity) {}

    bool Full() const { return m_capacity == 0 || m_length + 1 >= m_capacity; }
    void Put(wchar_t c)
    {
        if (!Full())
            m_buffer[m_length++] = c;
    }
    void Put(const wchar_t* text, std::size_t count)
    {
        for (std::size_t i = 0; i < count && !Full(); ++i)
            m_buffer[m_length++] = text[i];
    }
    void Repeat(wchar_t c, long count)
    {
        for (; count > 0 && !Full(); --count)
            m_buffer[m_length++] = c;
    }
    int Finish()
    {
        if (m_capacity != 0)
            m_buffer[m_length] = L'\0';
        return static_cast<int>(m_length);
    }

  private:
    wchar_t* m_buffer;
    std::size_t m_capacity;
    std::size_t m_length = 0;
};

enum class Size { Default, Char, Short, Long, LongLong, LongDouble, IntMax, SizeT, PtrDiff, Wide, Narrow };

// One % field of a format: its flags, width, precision, size prefix and letter.
struct Conversion {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    long width = 0;
    long precision = -1; // -1: none given
    Size size = Size::Default;
    wchar_t letter = 0; // the conversion character: d, s, x ...
};

// Writes prefix, padding and body in the order the flags ask for.
void EmitField(Sink& sink, const Conversion& conversion, const wchar_t* prefix, std::size_t prefixLength, long zeros,
               const wchar_t* body, std::size_t bodyLength, bool zeroPadAllowed)
{
    const long total = static_cast<long>(prefixLength) + zeros +
                       static_cast<long>(std::min<std::size_t>(bodyLength, kMaxFieldWidth * 2));
    const long pad = conversion.width > total ? conversion.width - total : 0;
    const bool zeroPad = conversion.zero && !conversion.left && zeroPadAllowed;
    if (!conversion.left && !zeroPad)
        sink.Repeat(L' ', pad);
    sink.Put(prefix, prefixLength);
    if (zeroPad)
        sink.Repeat(L'0', pad);
    sink.Repeat(L'0', zeros);
    sink.Put(body, bodyLength);
    if (conversion.left)
        sink.Repeat(L' ', pad);
}

long long ReadSigned(const Conversion& conversion, va_list& args)
{
    switch (conversion.size) {
    case Size::Char:
        return static_cast<signed char>(va_arg(args, int));
    case Size::Short:
        return static_cast<short>(va_arg(args, int));
    case Size::Long:
        return va_arg(args, long);
    case Size::LongLong:
        return va_arg(args, long long);
    case Size::IntMax:
        return va_arg(args, std::intmax_t);
    case Size::SizeT:
    case Size::PtrDiff:
        return va_arg(args, std::ptrdiff_t);
    default:
        return va_arg(args, int);
    }
}

unsigned long long ReadUnsigned(const Conversion& conversion, va_list& args)
{
    switch (conversion.size) {
    case Size::Char:
        return static_cast<unsigned char>(va_arg(args, unsigned int));
    case Size::Short:
        return static_cast<unsigned short>(va_arg(args, unsigned int));
    case Size::Long:
        return va_arg(args, unsigned long);
    case Size::LongLong:
        return va_arg(args, unsigned long long);
    case Size::IntMax:
        return va_arg(args, std::uintmax_t);
    case Size::SizeT:
    case Size::PtrDiff:
        return va_arg(args, std::size_t);
    default:
        return va_arg(args, unsigned int);
    }
}

void EmitInteger(Sink& sink, const Conversion& conversion, va_list& args)
{
    const wchar_t conv = conversion.letter;
    bool negative = false;
    unsigned long long magnitude = 0;
    Conversion field = conversion;
    if (conv == L'd' || conv == L'i') {
        const long long value = ReadSigned(conversion, args);
        negative = value < 0;
        magnitude = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    } else if (conv == L'p') {
        magnitude = reinterpret_cast<std::uintptr_t>(va_arg(args, void*));
        // Addresses print whole, upper case, zero-filled to the pointer's width.
        if (field.precision < 0)
            field.precision = static_cast<long>(sizeof(void*) * 2);
    } else {
        magnitude = ReadUnsigned(conversion, args);
    }

    const unsigned base = (conv == L'o') ? 8 : (conv == L'x' || conv == L'X' || conv == L'p') ? 16 : 10;
    const wchar_t* digitSet = (conv == L'x') ? L"0123456789abcdef" : L"0123456789ABCDEF";
    wchar_t digits[72];
    std::size_t count = 0;
    for (unsigned long long v = magnitude; v != 0; v /= base)
        digits[count++] = digitSet[v % base];
    if (magnitude == 0 && field.precision != 0)
        digits[count++] = L'0';
    std::reverse(digits, digits + count);

    long zeros = field.precision > static_cast<long>(count) ? field.precision - static_cast<long>(count) : 0;
    wchar_t prefix[3];
    std::size_t prefixLength = 0;
    if (conv == L'd' || conv == L'i') {
        if (negative)
            prefix[prefixLength++] = L'-';
        else if (conversion.plus)
            prefix[prefixLength++] = L'+';
        else if (conversion.space)
            prefix[prefixLength++] = L' ';
    } else if (conversion.alternate && magnitude != 0 && (conv == L'x' || conv == L'X')) {
        prefix[prefixLength++] = L'0';
        prefix[prefixLength++] = conv;
    } else if (conversion.alternate && conv == L'o' && zeros == 0 && (count == 0 || digits[0] != L'0')) {
        zeros = 1;
    }
    // A precision turns the '0' flag off for integers, as in C.
    EmitField(sink, field, prefix, prefixLength, zeros, digits, count, conversion.precision < 0);
}

void EmitWideString(Sink& sink, const Conversion& conversion, const wchar_t* text)
{
    if (!text)
        text = L"(null)";
    std::size_t length = 0;
    // Never read past the precision: the argument need not be terminated then.
    while ((conversion.precision < 0 || static_cast<long>(length) < conversion.precision) && text[length] != L'\0')
        ++length;
    EmitField(sink, conversion, nullptr, 0, 0, text, length, true);
}

void EmitNarrowString(Sink& sink, const Conversion& conversion, const char* text)
{
    if (!text) {
        EmitWideString(sink, conversion, nullptr);
        return;
    }
    std::size_t length = 0;
    while ((conversion.precision < 0 || static_cast<long>(length) < conversion.precision) && text[length] != '\0')
        ++length;
    const std::wstring wide = AnsiToWide(text, length);
    Conversion field = conversion;
    field.precision = -1;
    EmitWideString(sink, field, wide.c_str());
}

void EmitFloat(Sink& sink, const Conversion& conversion, va_list& args)
{
    const long double value = conversion.size == Size::LongDouble ? va_arg(args, long double) : va_arg(args, double);
    char format[32];
    std::size_t f = 0;
    format[f++] = '%';
    if (conversion.plus)
        format[f++] = '+';
    if (conversion.space)
        format[f++] = ' ';
    if (conversion.alternate)
        format[f++] = '#';
    format[f] = '\0';
    const int precision = static_cast<int>(std::min<long>(conversion.precision, kMaxFloatPrecision));
    char tail[16];
    std::snprintf(tail, sizeof tail, "%s%c", conversion.precision >= 0 ? ".*L" : "L",
                  static_cast<char>(conversion.letter));
    std::strcat(format, tail);

    const int needed = conversion.precision >= 0 ? std::snprintf(nullptr, 0, format, precision, value)
                                                 : std::snprintf(nullptr, 0, format, value);
    if (needed <= 0)
        return;
    std::vector<char> text(static_cast<std::size_t>(needed) + 1);
    if (conversion.precision >= 0)
        std::snprintf(text.data(), text.size(), format, precision, value);
    else
        std::snprintf(text.data(), text.size(), format, value);

    std::wstring wide(text.begin(), text.end() - 1);
    // Split the sign (and a hexadecimal 0x) from the digits so zero padding goes between.
    std::size_t prefixLength = 0;
    if (!wide.empty() && (wide[0] == L'-' || wide[0] == L'+' || wide[0] == L' '))
        prefixLength = 1;
    if ((conversion.letter == L'a' || conversion.letter == L'A') && wide.size() >= prefixLength + 2)
        prefixLength += 2;
    const bool finite = wide.find_first_of(L"iInN") == std::wstring::npos;
    EmitField(sink, conversion, wide.data(), prefixLength, 0, wide.data() + prefixLength, wide.size() - prefixLength,
              finite);
}

long ReadNumber(const wchar_t*& p)
{
    long value = 0;
    while (*p >= L'0' && *p <= L'9') {
        value = std::min<long>(value * 10 + (*p - L'0'), kMaxFieldWidth);
        ++p;
    }
    return value;
}

// Reads the size prefix at p; leaves p on the conversion character.
Size ReadSize(const wchar_t*& p)
{
    switch (*p) {
    case L'h':
        ++p;
        if (*p == L'h') {
            ++p;
            return Size::Char;
        }
        return Size::Short;
    case L'l':
        ++p;
        if (*p == L'l') {
            ++p;
            return Size::LongLong;
        }
        return Size::Long;
    case L'L':
        ++p;
        return Size::LongDouble;
    case L'j':
        ++p;
        return Size::IntMax;
    case L'z':
        ++p;
        return Size::SizeT;
    case L't':
        ++p;
        return Size::PtrDiff;
    case L'w':
        ++p;
        return Size::Wide;
    case L'I':
        if (p[1] == L'6' && p[2] == L'4') {
            p += 3;
            return Size::LongLong;
        }
        if (p[1] == L'3' && p[2] == L'2') {
            p += 3;
            return Size::Default;
        }
        ++p;
        return Size::SizeT;
    default:
        return Size::Default;
    }
}

} // namespace

int FormatWideV(wchar_t* buffer, std::size_t capacity, const wchar_t* format, va_list args)
{
    Sink sink(buffer, capacity);
    if (!buffer || !format)
        return buffer ? sink.Finish() : 0;

    va_list ap;
    va_copy(ap, args);
    const wchar_t* p = format;
    while (*p != L'\0' && !sink.Full()) {
        if (*p != L'%') {
            sink.Put(*p++);
            continue;
        }
        const wchar_t* start = p++;
        if (*p == L'%') {
            sink.Put(L'%');
            ++p;
            continue;
        }
        Conversion conversion;
        for (bool flags = true; flags;) {
            switch (*p) {
            case L'-':
                conversion.left = true;
                ++p;
                break;
            case L'+':
                conversion.plus = true;
                ++p;
                break;
            case L' ':
                conversion.space = true;
                ++p;
                break;
            case L'#':
                conversion.alternate = true;
                ++p;
                break;
            case L'0':
                conversion.zero = true;
                ++p;
                break;
            default:
                flags = false;
            }
        }
        if (*p == L'*') {
            const int width = va_arg(ap, int);
            if (width < 0)
                conversion.left = true;
            conversion.width = std::min<long>(width < 0 ? -static_cast<long>(width) : width, kMaxFieldWidth);
            ++p;
        } else {
            conversion.width = ReadNumber(p);
        }
        if (*p == L'.') {
            ++p;
            if (*p == L'*') {
                const int precision = va_arg(ap, int);
                conversion.precision = precision < 0 ? -1 : std::min<long>(precision, kMaxFieldWidth);
                ++p;
            } else {
                conversion.precision = ReadNumber(p);
            }
        }
        conversion.size = ReadSize(p);
        conversion.letter = *p;
        if (*p != L'\0')
            ++p;

        switch (conversion.letter) {
        case L'd':
        case L'i':
        case L'u':
        case L'o':
        case L'x':
        case L'X':
        case L'p':
            EmitInteger(sink, conversion, ap);
            break;
        case L's':
        case L'S': {
            const bool narrow =
                conversion.size == Size::Short ||
                (conversion.letter == L'S' && conversion.size != Size::Long && conversion.size != Size::Wide);
            if (narrow)
                EmitNarrowString(sink, conversion, va_arg(ap, const char*));
            else
                EmitWideString(sink, conversion, va_arg(ap, const wchar_t*));
            break;
        }
        case L'c':
        case L'C': {
            const bool narrow =
                conversion.size == Size::Short ||
                (conversion.letter == L'C' && conversion.size != Size::Long && conversion.size != Size::Wide);
            wchar_t c;
            if (narrow) {
                const char byte = static_cast<char>(va_arg(ap, int));
                const std::wstring wide = AnsiToWide(&byte, 1);
                c = wide.empty() ? L'?' : wide[0];
            } else {
                c = static_cast<wchar_t>(va_arg(ap, int));
            }
            EmitField(sink, conversion, nullptr, 0, 0, &c, 1, true);
            break;
        }
        case L'e':
        case L'E':
        case L'f':
        case L'F':
        case L'g':
        case L'G':
        case L'a':
        case L'A':
            EmitFloat(sink, conversion, ap);
            break;
        default:
            // %n, unknown conversions and a format that ends inside a field: shown as written.
            sink.Put(start, static_cast<std::size_t>(p - start));
            break;
        }
    }
    va_end(ap);
    return sink.Finish();
}

int FormatWide(wchar_t* buffer, std::size_t capacity, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = FormatWideV(buffer, capacity, format, args);
    va_end(args);
    return written;
}

} // namespace vireo
