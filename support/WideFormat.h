// The engine's one wide printf: every wide format (log, error box, record and INI text) goes
// through it, because glibc reads %s in a wide format as a narrow string and ours must not.
// Deliberately no %n, no positional arguments and no locale: digits and '.' are always ASCII.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vireo {

// Formats into buffer[0..capacity) and always terminates it when capacity >= 1. Output that
// does not fit is cut at the buffer, never overrun. Returns the characters written (without
// the terminator), so a result of capacity - 1 may mean the text was cut.
//
// Conversions (Microsoft wide rules): %s %c wide, %S %C narrow (ANSI code page), %hs %hc
// narrow, %ls %lc %ws %wc wide; d i u x X o p; e E f F g G a A; %%. Flags - + space # 0,
// width and precision as numbers or '*'. Size prefixes hh h l ll L j z t I I32 I64.
// A null string prints "(null)". %n and unknown conversions are copied to the output as text
// and consume no argument.
int FormatWideV(wchar_t* buffer, std::size_t capacity, const wchar_t* format, va_list args);
int FormatWide(wchar_t* buffer, std::size_t capacity, const wchar_t* format, ...);

// An address as the integer that "0x%08llx" prints: log lines name objects by address, and
// addresses are 64-bit here.
inline unsigned long long AddressValue(const void* p)
{
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(p));
}

} // namespace vireo
