// Code-page conversion: a built-in UTF-8 codec and iconv for everything else, with the
// Win32 argument, length and buffer rules. Replacement policy: '?' for characters the
// target cannot hold, U+FFFD for malformed UTF-8 (as Windows does), '?' for other bad bytes.
#include "platform/core/CodePage.h"

#include "platform/core/Utf8.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

namespace vireo::platform {
namespace {

std::string Normalise(const char* name)
{
    std::string out;
    for (const char* p = name; *p; ++p)
        if (*p != '-' && *p != '_' && *p != ' ')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return out;
}

bool AllDigits(const std::string& s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// Windows code page number -> iconv name.
std::string IconvNameOf(UINT number)
{
    switch (number) {
    case CP_UTF8: return "UTF-8";
    case 936: return "GBK";
    case 54936: return "GB18030";
    case 950: return "BIG5";
    case 20127: return "ASCII";
    default: break;
    }
    if (number >= 28591 && number <= 28599)
        return "ISO-8859-" + std::to_string(number - 28590);
    return "CP" + std::to_string(number);
}

// A name as VIREO_CODEPAGE or the locale spells it -> Windows number (0 if unknown).
UINT NumberOf(const std::string& norm)
{
    static const std::map<std::string, UINT> table = {
        {"UTF8", CP_UTF8},   {"GBK", 936},         {"GB2312", 936},     {"EUCCN", 936},
        {"GB18030", 54936},  {"BIG5", 950},        {"SHIFTJIS", 932},   {"SJIS", 932},
        {"EUCKR", 949},      {"KOI8R", 20866},     {"ASCII", 20127},    {"USASCII", 20127},
        {"ANSIX3.41968", 20127}, {"ISO88591", 28591}, {"LATIN1", 28591},
    };
    if (const auto it = table.find(norm); it != table.end())
        return it->second;
    std::string digits = norm;
    if (digits.rfind("WINDOWS", 0) == 0)
        digits = digits.substr(7);
    else if (digits.rfind("CP", 0) == 0)
        digits = digits.substr(2);
    if (AllDigits(digits) && digits.size() <= 5)
        return static_cast<UINT>(std::atoi(digits.c_str()));
    return 0;
}

bool IconvKnows(const std::string& name)
{
    iconv_t cd = iconv_open("WCHAR_T", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

CodePageInfo Resolve(const char* requested)
{
    std::string name;
    if (requested && *requested) {
        name = requested;
    } else if (const char* env = std::getenv("VIREO_CODEPAGE"); env && *env) {
        name = env;
    } else {
        // The charset of the user's locale, read without changing the process locale.
        if (locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr))) {
            name = nl_langinfo_l(CODESET, loc);
            freelocale(loc);
        }
    }
    const std::string norm = Normalise(name.c_str());
    UINT number = NumberOf(norm);
    if (name.empty() || number == 20127 || number == CP_UTF8)
        return {"UTF-8", CP_UTF8};  // a plain-ASCII locale gets UTF-8
    std::string iconvName = AllDigits(norm) || norm.rfind("CP", 0) == 0 ? IconvNameOf(number) : name;
    if (!IconvKnows(iconvName)) {
        if (number && IconvKnows(IconvNameOf(number))) {
            iconvName = IconvNameOf(number);
        } else {
            std::fprintf(stderr, "vireo: code page \"%s\" is unknown, using UTF-8\n", name.c_str());
            return {"UTF-8", CP_UTF8};
        }
    }
    return {iconvName, number ? number : CP_UTF8};
}

std::optional<CodePageInfo> g_ansi;
std::mutex g_mutex;  // guards g_ansi and the descriptor cache

// iconv descriptors are opened once per (name, direction), reset before each use, and
// closed at exit.
struct DescriptorCache {
    std::map<std::pair<std::string, bool>, iconv_t> open;
    ~DescriptorCache()
    {
        for (auto& [key, cd] : open)
            iconv_close(cd);
    }
};

iconv_t CachedDescriptor(const std::string& name, bool toWide)
{
    static DescriptorCache cache;
    const auto key = std::make_pair(name, toWide);
    if (const auto it = cache.open.find(key); it != cache.open.end()) {
        iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }
    iconv_t cd = toWide ? iconv_open("WCHAR_T", name.c_str()) : iconv_open(name.c_str(), "WCHAR_T");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return cd;
    cache.open.emplace(key, cd);
    return cd;
}

std::string IconvNameFor(UINT codePage)
{
    if (codePage == CP_ACP || codePage == CP_OEMCP)
        return AnsiCodePage().iconvName;
    return IconvNameOf(codePage);
}

}  // namespace

const CodePageInfo& AnsiCodePage()
{
    std::lock_guard lock(g_mutex);
    if (!g_ansi)
        g_ansi = Resolve(nullptr);
    return *g_ansi;
}

void OverrideAnsiCodePage(const char* name)
{
    std::lock_guard lock(g_mutex);
    g_ansi = Resolve(name);
}

bool DecodeCodePage(UINT codePage, std::string_view src, bool strict, std::wstring& out, DWORD* error)
{
    out.clear();
    const std::string name = IconvNameFor(codePage);
    if (name == "UTF-8") {
        std::size_t pos = 0;
        while (pos < src.size()) {
            const long cp = DecodeUtf8(src, pos);
            if (cp < 0 && strict) {
                *error = ERROR_NO_UNICODE_TRANSLATION;
                return false;
            }
            out += static_cast<wchar_t>(cp < 0 ? 0xFFFD : cp);
        }
        return true;
    }
    std::lock_guard lock(g_mutex);
    iconv_t cd = CachedDescriptor(name, true);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    char* in = const_cast<char*>(src.data());
    std::size_t inLeft = src.size();
    wchar_t chunk[256];
    while (inLeft > 0) {
        char* dst = reinterpret_cast<char*>(chunk);
        std::size_t dstLeft = sizeof(chunk);
        const std::size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(chunk, (sizeof(chunk) - dstLeft) / sizeof(wchar_t));
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (truncated sequence): one bad byte becomes one '?'.
        if (strict) {
            *error = ERROR_NO_UNICODE_TRANSLATION;
            return false;
        }
        out += L'?';
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

bool EncodeCodePage(UINT codePage, std::wstring_view src, char defaultChar, bool* usedDefault,
                    std::string& out, DWORD* error)
{
    out.clear();
    if (usedDefault)
        *usedDefault = false;
    const std::string name = IconvNameFor(codePage);
    if (name == "UTF-8") {
        for (wchar_t c : src)
            if (!EncodeUtf8(static_cast<char32_t>(c), out))
                EncodeUtf8(0xFFFD, out);
        return true;
    }
    std::lock_guard lock(g_mutex);
    iconv_t cd = CachedDescriptor(name, false);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(src.data()));
    std::size_t inLeft = src.size() * sizeof(wchar_t);
    char chunk[512];
    while (inLeft > 0) {
        char* dst = chunk;
        std::size_t dstLeft = sizeof(chunk);
        const std::size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(chunk, sizeof(chunk) - dstLeft);
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        out += defaultChar;
        if (usedDefault)
            *usedDefault = true;
        in += sizeof(wchar_t);
        inLeft -= inLeft < sizeof(wchar_t) ? inLeft : sizeof(wchar_t);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Stateful encodings may owe a closing shift sequence.
    char* dst = chunk;
    std::size_t dstLeft = sizeof(chunk);
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(chunk, sizeof(chunk) - dstLeft);
    return true;
}

std::string AnsiFromWide(std::wstring_view text)
{
    std::string out;
    DWORD error = 0;
    EncodeCodePage(CP_ACP, text, '?', nullptr, out, &error);
    return out;
}

std::wstring WideFromAnsi(std::string_view text)
{
    std::wstring out;
    DWORD error = 0;
    DecodeCodePage(CP_ACP, text, false, out, &error);
    return out;
}

}  // namespace vireo::platform

// ---- Win32 entry points ------------------------------------------------------------------
using namespace vireo::platform;

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst, int dstChars)
{
    if (!src || srcBytes == 0 || srcBytes < -1 || dstChars < 0 || (!dst && dstChars != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // -1: up to and including the terminator, which is then converted and counted.
    const std::size_t length = srcBytes == -1 ? std::strlen(src) + 1 : static_cast<std::size_t>(srcBytes);
    std::wstring wide;
    DWORD error = 0;
    if (!DecodeCodePage(codePage, std::string_view(src, length), (flags & MB_ERR_INVALID_CHARS) != 0, wide, &error)) {
        SetLastError(error);
        return 0;
    }
    if (wide.size() > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int needed = static_cast<int>(wide.size());
    if (dstChars == 0)
        return needed;
    if (needed > dstChars) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, wide.data(), wide.size() * sizeof(wchar_t));
    return needed;
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR src, int srcChars, LPSTR dst, int dstBytes,
                        LPCSTR defaultChar, BOOL* usedDefaultChar)
{
    const bool utf8 = codePage == CP_UTF8 ||
                      ((codePage == CP_ACP || codePage == CP_OEMCP) && AnsiCodePage().number == CP_UTF8);
    // As on Windows, UTF-8 takes no default character and reports none.
    if (!src || srcChars == 0 || srcChars < -1 || dstBytes < 0 || (!dst && dstBytes != 0) ||
        (codePage == CP_UTF8 && (defaultChar || usedDefaultChar))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t length = srcChars == -1 ? std::wcslen(src) + 1 : static_cast<std::size_t>(srcChars);
    std::string bytes;
    bool used = false;
    DWORD error = 0;
    if (!EncodeCodePage(codePage, std::wstring_view(src, length), defaultChar ? *defaultChar : '?', &used, bytes,
                        &error)) {
        SetLastError(error);
        return 0;
    }
    if (usedDefaultChar && !utf8)
        *usedDefaultChar = used ? TRUE : FALSE;
    if (bytes.size() > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int needed = static_cast<int>(bytes.size());
    if (dstBytes == 0)
        return needed;
    if (needed > dstBytes) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, bytes.data(), bytes.size());
    return needed;
}

UINT GetACP() { return AnsiCodePage().number; }
