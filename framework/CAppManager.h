#pragma once
#include <windows.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class CWindowCtrl;

// One per GUI thread: binds the thread to the window objects of its windows and runs its
// message loop with the pre-translation walk.
class CAppManager {
public:
    CAppManager() = default;
    CAppManager(const CAppManager&) = delete;
    CAppManager& operator=(const CAppManager&) = delete;
    virtual ~CAppManager() = default;

    virtual bool InitInstance();
    virtual int PreTranslateMessage(MSG* msg);
    virtual LRESULT OnUnboundMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    bool AddWindow(HWND hwnd, CWindowCtrl* obj);
    // The thread's main message loop, until WM_QUIT; false on a foreign thread or when running.
    bool Run();

    // How PumpMessages ended.
    enum class LoopEnd {
        Stopped,        // stop() answered true
        Quit,           // GetMessage retrieved WM_QUIT; its exit code is in *exitCode
        QuitPassedOn,   // the walk turned a message into WM_QUIT, which was posted again
        Failed,         // GetMessage failed
    };
    // Pumps this thread's messages (walk, translation, dispatch) until one of the ends above;
    // stop, when given, is asked after every message.
    LoopEnd PumpMessages(const std::function<bool()>& stop, WPARAM* exitCode = nullptr);

    // The first listed object bound to hwnd, or null.
    CWindowCtrl* FindWindowObject(HWND hwnd) const;
    // Unlists the first object bound to hwnd and clears its handle; false when none is listed.
    bool RemoveWindow(HWND hwnd);
    // Offers msg to the objects along the parent chain, then to PreTranslateMessage;
    // true when one of them consumed it.
    bool PreTranslateWalk(MSG* msg);
    // The walk, then translation and dispatch of what was not consumed.
    void PumpMessage(MSG* msg);

    std::vector<CWindowCtrl*> windows;  // not owned
    uint32_t threadId = 0;
    ULONG_PTR gdiplusToken = 0;
    bool running = false;
};

bool RegisterApp(CAppManager* app);
void UnregisterApp(uint32_t threadId);
CAppManager* FindApp(uint32_t threadId);

// The application when exactly one is registered, else null; read without the lock.
extern std::atomic<CAppManager*> single;
// Module instance handle used to register classes and create windows; set by the program entry.
extern HINSTANCE moduleInstance;
// Guards the application registry and the window-class name list.
std::mutex& RegistryMutex();
