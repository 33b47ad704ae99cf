#pragma once
// The top-level windows of the calling thread that pass a test, in the system's enumeration order.
#include <windows.h>

#include <vector>

template <typename Predicate>
std::vector<HWND> ThreadWindowsWhere(Predicate wanted)
{
    struct Search {
        Predicate& wanted;
        std::vector<HWND> found;
    } search{wanted, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (s->wanted(h)) s->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
