// The clipboard (text only) and the global memory blocks it trades in. The text itself
// lives in the back end (SDL's clipboard, or memory headless); this is the Win32 protocol
// around it: open, empty, get, set, close, and who owns which block.
#include "platform/backend/Backend.h"
#include "platform/core/KernelObjects.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace vireo::platform {
namespace {

constexpr std::size_t kMaxGlobalBytes = std::size_t{1} << 30;

class CGlobalMemory : public CKernelObject {
  public:
    std::vector<unsigned char> m_bytes;
    int m_locks = 0;
};

bool g_open = false;
HGLOBAL g_data = nullptr; // the clipboard's own block: handed out by GetClipboardData

void DropClipboardData()
{
    if (g_data)
        CloseKernelHandle(g_data);
    g_data = nullptr;
}

HGLOBAL AllocateText(const std::wstring& text)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!memory)
        return nullptr;
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

} // namespace
} // namespace vireo::platform

using namespace vireo::platform;

HGLOBAL GlobalAlloc(UINT, std::size_t bytes)
{
    if (bytes > kMaxGlobalBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto memory = std::unique_ptr<CGlobalMemory>(new (std::nothrow) CGlobalMemory);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    try {
        memory->m_bytes.assign(bytes, 0); // zeroed whatever the flags say
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return RegisterHandle(std::move(memory));
}

LPVOID GlobalLock(HGLOBAL handle)
{
    auto* memory = LookupHandleAs<CGlobalMemory>(handle);
    if (!memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++memory->m_locks;
    return memory->m_bytes.data();
}

BOOL GlobalUnlock(HGLOBAL handle)
{
    auto* memory = LookupHandleAs<CGlobalMemory>(handle);
    if (!memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (memory->m_locks > 0)
        --memory->m_locks;
    SetLastError(ERROR_SUCCESS);
    return memory->m_locks > 0 ? TRUE : FALSE; // FALSE once unlocked, as Win32 reports
}

std::size_t GlobalSize(HGLOBAL handle)
{
    auto* memory = LookupHandleAs<CGlobalMemory>(handle);
    if (!memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return memory->m_bytes.size();
}

HGLOBAL GlobalFree(HGLOBAL handle)
{
    if (!handle)
        return nullptr;
    if (handle == g_data || !LookupHandleAs<CGlobalMemory>(handle) || !CloseKernelHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE); // not a block, or the clipboard's own
        return handle;
    }
    return nullptr;
}

BOOL OpenClipboard(HWND)
{
    if (g_open) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    g_open = true;
    return TRUE;
}

BOOL CloseClipboard()
{
    if (!g_open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    g_open = false;
    return TRUE;
}

BOOL EmptyClipboard()
{
    if (!g_open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    DropClipboardData();
    if (CBackend* backend = ActiveBackend())
        backend->Clipboard().SetText(L"");
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    CBackend* backend = ActiveBackend();
    std::wstring text;
    return format == CF_UNICODETEXT && backend && backend->Clipboard().GetText(text) && !text.empty() ? TRUE : FALSE;
}

HANDLE GetClipboardData(UINT format)
{
    if (!g_open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    CBackend* backend = ActiveBackend();
    std::wstring text;
    if (format != CF_UNICODETEXT || !backend || !backend->Clipboard().GetText(text) || text.empty()) {
        SetLastError(ERROR_SUCCESS);
        return nullptr;
    }
    DropClipboardData();
    g_data = AllocateText(text);
    return g_data;
}

HANDLE SetClipboardData(UINT format, HANDLE handle)
{
    if (!g_open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    auto* memory = LookupHandleAs<CGlobalMemory>(handle);
    if (format != CF_UNICODETEXT || !memory) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The text ends at the first L'\0' or at the end of the block, whichever comes first.
    const auto* chars = reinterpret_cast<const wchar_t*>(memory->m_bytes.data());
    const std::size_t capacity = memory->m_bytes.size() / sizeof(wchar_t);
    const std::size_t length = wcsnlen(chars, capacity);
    const std::wstring text(chars, length);
    CBackend* backend = ActiveBackend();
    if (!backend || !backend->Clipboard().SetText(text)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    DropClipboardData();
    g_data = handle; // the clipboard owns the caller's block from now on
    return handle;
}
