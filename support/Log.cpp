// WriteLog, its file writer and ShowMessageBox. One process-wide handle, opened on first use
// and never closed by the engine; no lock, because every log call comes from the game's thread.
// Deliberately no console or debugger output: the file and the error box are the only channels.
#include "support/Log.h"

#include "support/AnsiText.h"
#include "support/WideFormat.h"

#include <vireo/support.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace vireo {
namespace {

constexpr std::size_t kWideMessageChars = 1024; // formatted message, terminator included
constexpr std::size_t kRecordTextBytes = 1024;  // ANSI text field of the record
constexpr std::size_t kLineBytes = 1056;        // finished line, terminator included

HANDLE g_logFile = INVALID_HANDLE_VALUE;

// Cuts ANSI text to at most maxBytes without splitting a multibyte character.
std::string CutAnsi(const char* text, std::size_t maxBytes)
{
    const std::size_t length = std::strlen(text);
    if (length <= maxBytes)
        return std::string(text, length);
    const std::wstring wide = AnsiToWide(text, length);
    return WideToAnsi(wide.data(), wide.size(), maxBytes);
}

} // namespace

BOOL WriteLogFile(const char* module, BYTE level, const char* text)
{
    char fileName[MAX_PATH];
    std::snprintf(fileName, sizeof fileName, "%s.log", module);

    SYSTEMTIME time{};
    GetLocalTime(&time);
    // The record's timestamp field holds 23 characters; a five-digit year would be cut there.
    char timestamp[64];
    std::snprintf(timestamp, sizeof timestamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    timestamp[23] = '\0';
    const DWORD threadId = GetCurrentThreadId();

    if (g_logFile == INVALID_HANDLE_VALUE) {
        g_logFile =
            CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (g_logFile == INVALID_HANDLE_VALUE)
            return FALSE;
    }

    if (level == 0) {
        SetFilePointer(g_logFile, 0, nullptr, FILE_BEGIN);
        return SetEndOfFile(g_logFile);
    }

    char prefix[64];
    const int prefixLength =
        std::snprintf(prefix, sizeof prefix, "[%d.%08x] %s > ", static_cast<int>(level), threadId, timestamp);
    // The line keeps its CR LF: the text gives way when the line would outgrow its buffer.
    const std::size_t room = kLineBytes - 1 - static_cast<std::size_t>(prefixLength) - 2;
    const std::string body = CutAnsi(text, std::min(room, kRecordTextBytes - 1));

    std::string line;
    line.reserve(kLineBytes);
    line.append(prefix, static_cast<std::size_t>(prefixLength));
    line.append(body);
    line.append("\r\n");

    SetFilePointer(g_logFile, 0, nullptr, FILE_END);
    DWORD written = 0;
    return WriteFile(g_logFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void ResetLogFileForTesting()
{
    if (g_logFile != INVALID_HANDLE_VALUE)
        CloseHandle(g_logFile);
    g_logFile = INVALID_HANDLE_VALUE;
}

} // namespace vireo

void WriteLog(int level, const wchar_t* format, ...)
{
    wchar_t message[vireo::kWideMessageChars];
    va_list args;
    va_start(args, format);
    vireo::FormatWideV(message, vireo::kWideMessageChars, format, args);
    va_end(args);
    // Converted before the level test: a level-4 call costs its formatting like any other.
    const std::string ansi = vireo::WideToAnsi(message, std::wcslen(message), vireo::kRecordTextBytes - 1);
    if (level > 3)
        return;
    vireo::WriteLogFile("VireoEngine", static_cast<BYTE>(level), ansi.c_str());
}

int ShowMessageBox(const wchar_t* format, ...)
{
    wchar_t text[vireo::kWideMessageChars];
    va_list args;
    va_start(args, format);
    vireo::FormatWideV(text, vireo::kWideMessageChars, format, args);
    va_end(args);
    return MessageBoxW(nullptr, text, L"Vireo Engine", MB_OK);
}
