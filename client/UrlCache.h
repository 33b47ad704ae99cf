#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <vector>

// Emptying the current user's WinINet URL cache on a thread of its own. The only state shared
// with the rest of the program is the busy flag and the owner window of the final message.

// True from the moment a clearing starts until its message box has been closed.
extern std::atomic<bool> cacheBusy;

// While held, a finished clearing keeps its "done" message back until the hold is released
// (the boss key has hidden the window that would own it).
void HoldCacheMessage(bool hold);
// True while a finished clearing waits for the hold to end.
extern std::atomic<bool> cacheMessageHeld;

// Thread procedure; param is the window that owns the "done" message box (may be null).
// Returns at once, without a message, while another clearing is still busy.
DWORD WINAPI ClearUrlCache(LPVOID param);

// Starts ClearUrlCache on a new thread for owner and lets the thread run on its own (the handle
// is closed at once); false when no thread could be made.
bool StartClearUrlCache(HWND owner);

// One read of a cache entry: call(buffer, size) fills buffer as FindFirst/FindNextUrlCacheEntryW
// do, and on ERROR_INSUFFICIENT_BUFFER leaves the needed size in *size. The buffer is grown to
// the reported size and the read repeated, so an entry that grew after its size was asked for is
// still read instead of ending the enumeration.
using CacheEntryRead = std::function<bool(void* buffer, DWORD* size)>;
bool ReadCacheEntry(const CacheEntryRead& call, std::vector<BYTE>& buffer, DWORD size);

// Deletes every entry the enumeration yields; the number of entries for which the delete
// succeeded.
int DeleteAllUrlCacheEntries();
