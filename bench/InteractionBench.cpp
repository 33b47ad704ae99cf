// What a player feels, measured on the real Harrowmere.exe from outside: each interaction is
// started the way a user or the system starts it (a posted hot key or command, pointer messages)
// and timed until the client's thread is free again (bench::Settle), beside the same operation
// on a plain program (bare_window --interactive) in the same run. Prints medians and ratios.
#include "BenchSupport.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kGameCommand = 0x08E5;
constexpr WPARAM kEnterGameView = 1001, kDestroy = 5557, kToggleFullScreen = 5562;
constexpr WPARAM kBossKey = 5561;
constexpr UINT kPushLayered = WM_APP + 1, kShowMenu = WM_APP + 2;
constexpr int kRounds = 7;

struct Row {
    const char* name;
    double goalMs;  // 0: none
    std::vector<double> client, floor;
};

enum RowId { BossHide, BossShow, FullIn, FullOut, MenuOpen, MenuClose, HoverBack, HoverTitle, Cycle, Rows };
Row rows[Rows] = {
    {"boss key: to hidden", 50, {}, {}},
    {"boss key: to shown", 100, {}, {}},
    {"full screen: in", 100, {}, {}},
    {"full screen: out", 100, {}, {}},
    {"tools menu: open", 0, {}, {}},
    {"tools menu: close", 0, {}, {}},
    {"hover change, layered backdrop", 0, {}, {}},
    {"hover change, title bar", 0, {}, {}},
    {"whole cycle", 300, {}, {}},
};

double Timed(const std::function<void()>& work)
{
    const double start = bench::Now();
    work();
    return bench::Now() - start;
}

void Send(HWND h, UINT m, WPARAM w, LPARAM l)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(h, m, w, l, SMTO_NORMAL, 10000, &result);
}

// The pointer really goes there (the painters ask the system where it is), then the move.
void PointerTo(HWND h, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(h, &p);
    SetCursorPos(p.x, p.y);
    Send(h, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void Post(HWND h, UINT m, WPARAM w) { PostMessageW(h, m, w, 0); }

// The interactions of one program, each ending when its thread is free again.
struct Driver {
    std::function<void()> hoverTitle;   // one hover change on the title bar
    std::function<void()> openMenu;
    std::function<void()> closeMenu;
    std::function<void()> fullScreen;   // toggle
    std::function<void()> bossKey;      // toggle
    std::function<void()> hoverBack;    // one hover change on the layered backdrop
};

void Measure(const Driver& d, bool client)
{
    auto add = [&](RowId id, double ms) { (client ? rows[id].client : rows[id].floor).push_back(ms); };
    for (int i = 0; i < kRounds; ++i) {
        if (d.hoverBack) add(HoverBack, Timed(d.hoverBack));
        add(HoverTitle, Timed(d.hoverTitle));
        add(MenuOpen, Timed(d.openMenu));
        add(MenuClose, Timed(d.closeMenu));
        add(FullIn, Timed(d.fullScreen));
        add(FullOut, Timed(d.fullScreen));
        add(BossHide, Timed(d.bossKey));
        add(BossShow, Timed(d.bossKey));
        add(Cycle, Timed([&] {
            for (int k = 0; k < 5; ++k) d.hoverTitle();
            d.openMenu();
            d.closeMenu();
            d.fullScreen();
            d.fullScreen();
            d.bossKey();
            d.bossKey();
        }));
    }
}

bool RunFloor()
{
    bench::Program bare(L"\"" HM_BARE_EXE L"\" --interactive");
    HWND main = bare.WaitFor(L"hm_bare_window");
    if (!main) return false;
    bare.EndWith(main, WM_CLOSE, 0);
    int hop = 0;
    Driver d;
    d.hoverTitle = [&] {
        PointerTo(main, 1808 - 25 * (hop++ % 5), 12);
        bench::Settle(main);
    };
    d.openMenu = [&] { Post(main, kShowMenu, 1); bench::Settle(main); };
    d.closeMenu = [&] { Post(main, kShowMenu, 0); bench::Settle(main); };
    d.fullScreen = [&] { Post(main, kGameCommand, kToggleFullScreen); bench::Settle(main); };
    d.bossKey = [&] { PostMessageW(main, WM_HOTKEY, kBossKey, 0); bench::Settle(main); };
    d.hoverBack = [&] { Send(main, kPushLayered, 0, 0); bench::Settle(main); };
    bench::Settle(main);
    Measure(d, false);
    return true;
}

bool RunClient()
{
    bench::Program program(L"\"" HM_CLIENT_EXE L"\"");
    HWND back = program.WaitFor(L"pelvar_back", true);
    HWND game = program.WaitFor(L"pelvarbrekmoor");
    if (!back || !game) return false;
    program.EndWith(game, kGameCommand, kDestroy);
    bench::Settle(game);

    // The start-up view: the pointer hops between two of the backdrop's buttons.
    const POINT backButtons[2] = {{542, 183}, {450, 183}};
    int hop = 0;
    std::vector<double> hovers;
    PointerTo(back, backButtons[1].x, backButtons[1].y);
    for (int i = 0; i < kRounds; ++i) {
        hovers.push_back(Timed([&] {
            const POINT p = backButtons[hop++ % 2];
            PointerTo(back, p.x, p.y);
            bench::Settle(back);
        }));
    }

    Post(game, kGameCommand, kEnterGameView);
    const double start = bench::Now();
    while (!(IsWindowVisible(game) && IsZoomed(game)) && bench::Now() - start < 10000) Sleep(10);
    if (!IsZoomed(game)) return false;
    bench::Settle(game);
    RECT client = {};
    GetClientRect(game, &client);
    const int toolsX = client.right - 112, titleY = 12;

    Driver d;
    d.hoverTitle = [&] {
        PointerTo(game, client.right - 12 - 25 * (hop++ % 5), titleY);
        bench::Settle(game);
    };
    d.openMenu = [&] {
        PointerTo(game, toolsX, titleY);
        Send(game, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(toolsX, titleY));
        Send(game, WM_LBUTTONUP, 0, MAKELPARAM(toolsX, titleY));
        bench::Settle(game);
        if (HWND menu = bench::FindShown(program.Pid(), L"pelvar_menu")) bench::Settle(menu);
    };
    d.closeMenu = [&] {
        if (HWND menu = bench::FindShown(program.Pid(), L"pelvar_menu")) {
            Send(menu, WM_ACTIVATE, WA_INACTIVE, 0);
            bench::Settle(menu);
        }
        bench::Settle(game);
    };
    d.fullScreen = [&] { Post(game, kGameCommand, kToggleFullScreen); bench::Settle(game); };
    d.bossKey = [&] { PostMessageW(game, WM_HOTKEY, kBossKey, 0); bench::Settle(game); };
    Measure(d, true);
    // The backdrop's hover was measured in the start-up view, where it has buttons.
    rows[HoverBack].client.insert(rows[HoverBack].client.end(), hovers.begin(), hovers.end());
    return true;
}

}  // namespace

int main()
{
    const int sessions = 2;
    bool ok = true;
    for (int s = 0; s < sessions && ok; ++s) ok = RunFloor() && RunClient();
    std::printf("%-32s %10s %10s %8s %10s\n", "interaction (median, ms)", "client", "floor",
                "ratio", "goal");
    for (const Row& r : rows) {
        const double c = bench::Median(r.client), f = bench::Median(r.floor);
        char goal[32] = "";
        if (r.goalMs > 0) std::snprintf(goal, sizeof goal, "<= %.0f ms", r.goalMs);
        std::printf("%-32s %10.1f %10.1f %8.2f %10s\n", r.name, c, f, f > 0 ? c / f : 0.0, goal);
    }
    std::printf("(%d rounds in each of %d sessions; floor: bare_window --interactive, same run)\n",
                kRounds, sessions);
    std::fflush(stdout);
    return ok ? 0 : 1;
}
