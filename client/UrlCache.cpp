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

// WinINet's cache calls, loaded only while the cache is cleared: the client needs the library
// for nothing else, and loading it (with the libraries it brings) at every start delayed the
// start-up view by about 12 ms here.
struct UrlCacheCalls {
    UniqueModule library{LoadLibraryW(L"wininet.dll")};
    template <typename Fn>
    Fn Find(const char* name) const
    {
        return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library.Get(), name))) : nullptr;
    }
    const decltype(&FindFirstUrlCacheEntryW) findFirst = Find<decltype(&FindFirstUrlCacheEntryW)>("FindFirstUrlCacheEntryW");
    const decltype(&FindNextUrlCacheEntryW) findNext = Find<decltype(&FindNextUrlCacheEntryW)>("FindNextUrlCacheEntryW");
    const decltype(&DeleteUrlCacheEntryW) deleteEntry = Find<decltype(&DeleteUrlCacheEntryW)>("DeleteUrlCacheEntryW");
    const decltype(&FindCloseUrlCache) findClose = Find<decltype(&FindCloseUrlCache)>("FindCloseUrlCache");
    bool Loaded() const { return findFirst && findNext && deleteEntry && findClose; }
};

// An enumeration of the cache, closed with the calls that opened it.
class CacheEnumeration {
public:
    CacheEnumeration(const UrlCacheCalls& calls, HANDLE h) : calls(calls), handle(h) {}
    ~CacheEnumeration()
    {
        if (handle) calls.findClose(handle);
    }
    CacheEnumeration(const CacheEnumeration&) = delete;
    CacheEnumeration& operator=(const CacheEnumeration&) = delete;
    HANDLE Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

private:
    const UrlCacheCalls& calls;
    HANDLE handle;
};

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
    const UrlCacheCalls calls;
    if (!calls.Loaded()) return 0;
    std::vector<BYTE> buffer;
    HANDLE first = nullptr;
    DWORD size = 0;
    // A size query with no buffer yields no enumeration; should one come back all the same it
    // is closed here rather than leaked.
    CacheEnumeration probe(calls, calls.findFirst(nullptr, nullptr, &size));
    if (!probe && GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;
    const bool found = ReadCacheEntry(
        [&first, &calls](void* b, DWORD* s) {
            first = calls.findFirst(nullptr, static_cast<INTERNET_CACHE_ENTRY_INFOW*>(b), s);
            return first != nullptr;
        },
        buffer, size);
    if (!found) return 0;
    CacheEnumeration enumeration(calls, first);
    int deleted = 0;
    for (;;) {
        if (Entry(buffer)->lpszSourceUrlName &&
            calls.deleteEntry(Entry(buffer)->lpszSourceUrlName)) {
            ++deleted;
        }
        size = 0;
        if (!calls.findNext(enumeration.Get(), nullptr, &size) &&
            GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            break;
        }
        const bool next = ReadCacheEntry(
            [&enumeration, &calls](void* b, DWORD* s) {
                return calls.findNext(enumeration.Get(), static_cast<INTERNET_CACHE_ENTRY_INFOW*>(b), s) !=
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
