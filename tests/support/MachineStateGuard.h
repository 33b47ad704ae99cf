#pragma once
#include <gtest/gtest.h>

#include <string>

// Tests that change machine state that is not theirs (registry outside a key they made, Program
// Files, shell folders, drive roots, what an installer or uninstaller under test touches) run
// only inside this checkout's Wine prefix, or where HM_TESTS_MAY_CHANGE_THIS_MACHINE=1 declares
// the machine disposable.
class MachineStateGuard {
public:
    // Empty when such a test may run here; otherwise the reason it may not.
    static std::string WhyNot();
};

// Skips the current test, saying why, unless the machine may be changed.
#define HM_SKIP_UNLESS_DISPOSABLE_MACHINE()                                     \
    do {                                                                       \
        const std::string hmWhyNot = MachineStateGuard::WhyNot();              \
        if (!hmWhyNot.empty())                                                 \
            GTEST_SKIP() << hmWhyNot;                                          \
    } while (0)
