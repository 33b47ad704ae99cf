// The close question: placement, answers, nesting, and the two close buttons that ask it.
#include "CImageButton.h"
#include "ClientTestUtil.h"
#include "CloseMsgWnd.h"
#include "GameMessages.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

using namespace client_test;
using CloseQuestion = StartUpViewTest;
using CloseButtons = StartUpViewTest;

namespace {
// The topmost open question of this thread, or null.
HWND Question() { return TopLevelWindow(L"pelvardorsin"); }

// A step that answers the open question by clicking one of its buttons.
std::function<bool()> Answer(int buttonId, RECT* seenRect = nullptr)
{
    return [=] {
        HWND q = Question();
        if (!q) return false;
        if (seenRect) *seenRect = WindowRect(q);
        if (buttonId == CloseMsgWnd::kConfirmId) ClickAt(q, 84, 117);
        else if (buttonId == CloseMsgWnd::kCancelId) ClickAt(q, 212, 117);
        else PostMessageW(q, WM_CLOSE, 0, 0);
        return true;
    };
}

}  // namespace

TEST_F(CloseQuestion, AnswersOfTheButtonsAndOfClosing)
{
    // Cancelled, confirmed, closed another way: each over the game window, which is enabled
    // again afterwards.
    const std::pair<int, int> answers[] = {{CloseMsgWnd::kCancelId, 2}, {CloseMsgWnd::kConfirmId, 1}, {0, 2}};
    for (const auto& answer : answers) {
        RECT seen = {};
        {
            TimerScript script({Answer(answer.first, &seen)});
            EXPECT_EQ(AskToClose(w.Game()), answer.second) << answer.first;
        }
        EXPECT_TRUE(SameRect(seen, RECT{912, 474, 1207, 664})) << answer.first;
        EXPECT_TRUE(IsWindowEnabled(w.Game())) << answer.first;
    }
    EXPECT_EQ(Question(), nullptr);
    // Over a maximised-size window at the origin.
    MoveWindow(w.Game(), 0, 0, 1920, 1040, TRUE);
    RECT seen = {};
    TimerScript script({Answer(CloseMsgWnd::kCancelId, &seen)});
    EXPECT_EQ(AskToClose(w.Game()), 2);
    EXPECT_TRUE(SameRect(seen, RECT{812, 425, 1107, 615}));
    // The same places worked out, and over a window partly off the screen:
    // -100 + (0 - 295 + 100) / 2 = -100 - 97.
    EXPECT_TRUE(PointIs(CloseMsgWnd::PlaceOver(RECT{760, 376, 1360, 762}, 295, 190), {912, 474}));
    EXPECT_TRUE(PointIs(CloseMsgWnd::PlaceOver(RECT{0, 0, 1920, 1040}, 295, 190), {812, 425}));
    EXPECT_TRUE(PointIs(CloseMsgWnd::PlaceOver(RECT{-100, -50, 0, 0}, 295, 190), {-197, -120}));
}

TEST_F(CloseQuestion, WindowLooksOwnerAndNoStackingOnASecondRequest)
{
    {
        HWND seen = nullptr;
        LONG_PTR style = 0, ex = 0;
        HWND owner = nullptr;
        bool ownerEnabled = true;
        TimerScript script({[&] {
                                seen = Question();
                                if (!seen) return false;
                                style = GetWindowLongPtrW(seen, GWL_STYLE);
                                ex = GetWindowLongPtrW(seen, GWL_EXSTYLE);
                                owner = GetWindow(seen, GW_OWNER);
                                ownerEnabled = IsWindowEnabled(owner) != FALSE;
                                return true;
                            },
                            Answer(CloseMsgWnd::kCancelId)});
        EXPECT_EQ(AskToClose(w.Game()), 2);
        ASSERT_NE(seen, nullptr);
        EXPECT_EQ(owner, w.Game());
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_TRUE(ex & WS_EX_LAYERED);
        EXPECT_FALSE(IsWindow(seen));
        // Modal: the owner is disabled while the question is up, and enabled again after.
        EXPECT_FALSE(ownerEnabled);
        EXPECT_TRUE(IsWindowEnabled(w.Game()));
    }

    // A second request brings the open question forward instead of stacking another.
    int inner = -1;
    size_t open = 0;
    TimerScript script({[&] {
                            if (!Question()) return false;
                            // Close asked for again while the question is up.
                            inner = AskToClose(w.Game());
                            open = TopLevelWindows(L"pelvardorsin").size();
                            return true;
                        },
                        Answer(CloseMsgWnd::kConfirmId)});
    EXPECT_EQ(AskToClose(w.Game()), 1);
    EXPECT_EQ(inner, 2);
    EXPECT_EQ(open, 1u);
    EXPECT_EQ(Question(), nullptr);
}

TEST_F(CloseButtons, GameWindowCloseConfirmedOrKept)
{
    CImageButton closeButton(nullptr, 10, RECT{0, 0, 25, 25}, L"");
    {
        TimerScript script({Answer(CloseMsgWnd::kCancelId)});
        EXPECT_FALSE(w.game->OnButtonClick(&closeButton));
        EXPECT_TRUE(IsWindow(w.Game()));
    }
    CImageButton other(nullptr, 20, RECT{0, 0, 25, 25}, L"");
    EXPECT_TRUE(w.game->OnButtonClick(&other));  // the built-in actions follow for the others
    HWND game = w.Game();
    TimerScript script({Answer(CloseMsgWnd::kConfirmId)});
    EXPECT_FALSE(w.game->OnButtonClick(&closeButton));
    EXPECT_FALSE(IsWindow(game));
}

TEST_F(CloseButtons, BackdropCloseCancelledKeepsBothConfirmedEndsTheGameWindow)
{
    const RECT back = WindowRect(w.Back()), game = WindowRect(w.Game());
    {
        RECT seen = {};
        bool ownersEnabled = true;
        TimerScript script({[&] {
                                if (!Question()) return false;
                                ownersEnabled = IsWindowEnabled(w.Back()) || IsWindowEnabled(w.Game());
                                return true;
                            },
                            Answer(CloseMsgWnd::kCancelId, &seen)});
        ClickAt(w.Back(), 1045, 171);  // button 1002
        EXPECT_FALSE(ownersEnabled) << "the backdrop and the page are disabled while it asks";
        EXPECT_TRUE(IsWindowEnabled(w.Back()) && IsWindowEnabled(w.Game()));
        // Centred over the backdrop.
        EXPECT_TRUE(SameRect(seen, RECT{back.left + 429, back.top + 257, back.left + 724, back.top + 447}));
    }
    EXPECT_TRUE(IsWindowVisible(w.Back()));
    EXPECT_TRUE(IsWindowVisible(w.Game()));
    EXPECT_TRUE(SameRect(WindowRect(w.Back()), back));
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), game));

    HWND gameWindow = w.Game();
    TimerScript script({Answer(CloseMsgWnd::kConfirmId)});
    ClickAt(w.Back(), 1045, 171);
    EXPECT_FALSE(IsWindowVisible(w.Back()));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(gameWindow); }, 3000));
}

TEST(ClientLeaks, QuestionsShowHideCyclesAndWholeLifetimes)
{
    const long gdipAtStart = GdipLiveObjects();
    {
        GameWindows w;
        ASSERT_TRUE(w.created);
        ASSERT_TRUE(w.EnterGameViewShown());
        EXPECT_TRUE(LeavesNothingBehind(1, 20, [&](int) {
            TimerScript script({Answer(CloseMsgWnd::kCancelId)});
            EXPECT_EQ(AskToClose(w.Game()), 2);
            ShowWindow(w.Game(), SW_HIDE);
            ShowWindow(w.Game(), SW_SHOW);
            SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
            SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);
        }));
        // The shadow frame is there exactly while the window is neither maximised nor full screen.
        EXPECT_EQ(IsWindowVisible(w.Back()) != FALSE, !IsZoomed(w.Game()));
    }
    // Windows and objects gone: every GDI+ object they made is released.
    EXPECT_EQ(GdipLiveObjects(), gdipAtStart);
}
