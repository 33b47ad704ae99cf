#include "UrlCache.h"

#include <wininet.h>

#include "GameMessages.h"
#include "UniqueHandle.h"

std::atomic<bool> cacheBusy{false};
std::atomic<bool> cacheMessageHeld{false};

namespace {

// Enough room for the entry header, which the system may ask for when an entry is unreadable.
constexpr DWORD kMinEntrySize = sizeof(INTERNET_CACHE_ENTRY_INFOW);
// A size that keeps growing this many times in a row is not going to settle.
constexpr int kMaxReadAttempts = 8;

void CloseCacheEnumeration(HANDLE h) { FindCloseUrlCache(h); }
using CacheEnumeration = UniqueHandle<NullHandleTraits<HANDLE, CloseCacheEnumeration>>;

auto* Entry(std::vector<BYTE>& buffer)
{
    return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
}

// Signalled while the message may be shown; made once, at the first use, and kept for the
// process's lifetime.
HANDLE MessageGate()
{
    static const UniqueKernelHandle gate(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    return gate.Get();
}

}  // namespace

void HoldCacheMessage(bool hold)
{
    if (hold) {
        ResetEvent(MessageGate());
    } else {
        SetEvent(MessageGate());
    }
}

bool ReadCacheEntry(const CacheEntryRead& call, std::vector<BYTE>& buffer, DWORD size)
{
    for (int attempt = 0; attempt < kMaxReadAttempts; ++attempt) {
        if (size < kMinEntrySize) size = kMinEntrySize;
        buffer.assign(size, 0);
        DWORD given = size;
        if (call(buffer.data(), &given)) return true;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || given <= size) return false;
        size = given;
    }
    return false;
}

int DeleteAllUrlCacheEntries()
{
    std::vector<BYTE> buffer;
    HANDLE first = nullptr;
    DWORD size = 0;
    // A size query with no buffer yields no enumeration; should one come back all the same it
    // is closed here rather than leaked.
    CacheEnumeration probe(FindFirstUrlCacheEntryW(nullptr, nullptr, &size));
    if (!probe && GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;
    const bool found = ReadCacheEntry(
        [&first](void* b, DWORD* s) {
            first = FindFirstUrlCacheEntryW(nullptr, static_cast<INTERNET_CACHE_ENTRY_INFOW*>(b), s);
            return first != nullptr;
        },
        buffer, size);
    if (!found) return 0;
    CacheEnumeration enumeration(first);
    int deleted = 0;
    for (;;) {
        if (Entry(buffer)->lpszSourceUrlName &&
            DeleteUrlCacheEntryW(Entry(buffer)->lpszSourceUrlName)) {
            ++deleted;
        }
        size = 0;
        if (!FindNextUrlCacheEntryW(enumeration.Get(), nullptr, &size) &&
            GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            break;
        }
        const bool next = ReadCacheEntry(
            [&enumeration](void* b, DWORD* s) {
                return FindNextUrlCacheEntryW(enumeration.Get(),
                                              static_cast<INTERNET_CACHE_ENTRY_INFOW*>(b), s) !=
                       FALSE;
            },
            buffer, size);
        if (!next) break;
    }
    return deleted;
}

DWORD WINAPI ClearUrlCache(LPVOID param)
{
    if (cacheBusy.exchange(true)) return 0;
    DeleteAllUrlCacheEntries();
    if (HANDLE gate = MessageGate(); gate && WaitForSingleObject(gate, 0) == WAIT_TIMEOUT) {
        cacheMessageHeld.store(true);
        WaitForSingleObject(gate, INFINITE);
        cacheMessageHeld.store(false);
    }
    MessageBoxW(static_cast<HWND>(param), L"清理缓存完成", kProductTitle, MB_OK);
    cacheBusy.store(false);
    return 0;
}

bool StartClearUrlCache(HWND owner)
{
    // The thread runs on by itself; its handle is not needed.
    UniqueKernelHandle thread(CreateThread(nullptr, 0, ClearUrlCache, owner, 0, nullptr));
    return static_cast<bool>(thread);
}
