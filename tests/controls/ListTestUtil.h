#pragma once
#include <windows.h>

namespace list_tests {

inline bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline RECT WindowRect(HWND h)
{
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

}  // namespace list_tests

#define EXPECT_RECT(r, l, t, rr, b)                                                      \
    EXPECT_TRUE(list_tests::Same((r), RECT{l, t, rr, b}))                                \
        << (r).left << "," << (r).top << "," << (r).right << "," << (r).bottom
