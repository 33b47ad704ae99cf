// Clearing WinINet's URL cache: reading entries that grow, emptying the real cache, and the one
// message a clearing shows.
#include "UrlCache.h"
#include "ClientTestUtil.h"

#include <wininet.h>

#include <string>

using namespace client_test;

namespace {

bool AddCacheEntry(const std::wstring& url, const std::string& body)
{
    wchar_t file[MAX_PATH] = {};
    FILETIME zero = {};
    return CreateUrlCacheEntryW(url.c_str(), 0, L"txt", file, 0) && WriteBytes(file, body) &&
           CommitUrlCacheEntryW(url.c_str(), file, zero, zero, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr,
                                nullptr);
}

void CloseCacheEnumeration(HANDLE h) { FindCloseUrlCache(h); }
using CacheEnumeration = UniqueHandle<NullHandleTraits<HANDLE, CloseCacheEnumeration>>;

// Content entries of the cache, counted by enumerating it afresh.
int CountCacheEntries()
{
    CacheEnumeration enumeration;
    // The first read opens the enumeration, the later ones continue it.
    const CacheEntryRead read = [&](void* b, DWORD* s) {
        auto* entry = static_cast<INTERNET_CACHE_ENTRY_INFOW*>(b);
        if (enumeration) return FindNextUrlCacheEntryW(enumeration.Get(), entry, s) != FALSE;
        enumeration.Reset(FindFirstUrlCacheEntryW(nullptr, entry, s));
        return static_cast<bool>(enumeration);
    };
    std::vector<BYTE> buffer;
    int count = 0;
    for (;;) {
        DWORD size = 0;
        if (read(nullptr, &size) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        if (!ReadCacheEntry(read, buffer, size)) break;
        ++count;
    }
    return count;
}

void FillCache(int n)
{
    for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(AddCacheEntry(L"http://cache.test/file" + std::to_wstring(i) + L".js",
                                  std::string(100 + i * 7, 'x')));
    }
}

}  // namespace

TEST(CacheEntryRead, GrowingEntryIsReadAgainWithTheReportedSizeOtherFailuresAndNoGrowthEndIt)
{
    // The size asked first no longer fits: the read reports a larger one, and then succeeds.
    std::vector<DWORD> sizesSeen;
    std::vector<BYTE> buffer;
    const bool ok = ReadCacheEntry(
        [&](void*, DWORD* size) {
            sizesSeen.push_back(*size);
            if (*size < 900) {
                *size = 900;
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return false;
            }
            return true;
        },
        buffer, 400);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sizesSeen, (std::vector<DWORD>{400, 900}));
    EXPECT_GE(buffer.size(), 900u);

    // Another failure ends the read at once, and so does a reported size that is not larger than
    // the buffer (it would only repeat the same failure); an entry that never stops growing gives
    // up after a bounded number of reads.
    const struct {
        DWORD error, growth;
    } cases[] = {{ERROR_NO_MORE_ITEMS, 0}, {ERROR_INSUFFICIENT_BUFFER, 0}, {ERROR_INSUFFICIENT_BUFFER, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.growth);
        buffer.clear();
        int calls = 0;
        EXPECT_FALSE(ReadCacheEntry(
            [&](void*, DWORD* size) {
                ++calls;
                *size += c.growth;
                SetLastError(c.error);
                return false;
            },
            buffer, 300));
        if (c.growth) EXPECT_LE(calls, 10);
        else EXPECT_EQ(calls, 1);
    }
}

TEST(UrlCache, ClearingEmptiesTheRealCacheAndTwoQuickRequestsRunOneClearingAndOneMessage)
{
    FillCache(40);
    ASSERT_GE(CountCacheEntries(), 40);
    EXPECT_GE(DeleteAllUrlCacheEntries(), 40);
    EXPECT_EQ(CountCacheEntries(), 0);
    // An empty cache: nothing to delete, no failure.
    EXPECT_EQ(DeleteAllUrlCacheEntries(), 0);

    FillCache(20);
    ASSERT_FALSE(cacheBusy.load());
    const UniqueKernelHandle first(CreateThread(nullptr, 0, ClearUrlCache, nullptr, 0, nullptr));
    ASSERT_TRUE(first);
    ASSERT_TRUE(PumpUntil([] { return MessageBoxes().size() == 1; }, 10000));
    EXPECT_TRUE(cacheBusy.load());
    EXPECT_EQ(CountCacheEntries(), 0);
    // A second request while the message is open returns at once and shows nothing.
    const UniqueKernelHandle second(CreateThread(nullptr, 0, ClearUrlCache, nullptr, 0, nullptr));
    ASSERT_TRUE(second);
    // Its thread is gone, and any box it had shown with it.
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(second.Get(), 0) == WAIT_OBJECT_0; }));
    const std::vector<HWND> boxes = MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(WindowText(boxes[0]), L"Harrowmere网页版");
    EXPECT_EQ(WindowText(GetDlgItem(boxes[0], 0xFFFF)), L"清理缓存完成");
    EXPECT_EQ(VisibleButtons(boxes[0]), std::vector<int>{IDOK});
    EXPECT_TRUE(cacheBusy.load());

    AnswerBox(boxes[0], IDOK);
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(first.Get(), 0) == WAIT_OBJECT_0; }));
    EXPECT_FALSE(cacheBusy.load());
    EXPECT_TRUE(MessageBoxes().empty());
}

TEST(UrlCache, StarterRunsAgainAfterTheMessageClosed)
{
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        FillCache(10);
        ASSERT_TRUE(StartClearUrlCache(nullptr));
        ASSERT_TRUE(PumpUntil([] { return MessageBoxes().size() == 1; }, 10000));
        EXPECT_EQ(CountCacheEntries(), 0);
        AnswerBox(MessageBoxes()[0], IDOK);
        EXPECT_TRUE(PumpUntil([] { return !cacheBusy.load() && MessageBoxes().empty(); }));
    }
}
