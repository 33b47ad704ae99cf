#include "CAppManager.h"
#include "CWindowCtrl.h"

#include <algorithm>

std::atomic<CAppManager*> single{nullptr};
HINSTANCE moduleInstance = nullptr;

namespace {
std::vector<CAppManager*>& Registry()
{
    static std::vector<CAppManager*> apps;
    return apps;
}
}  // namespace

std::mutex& RegistryMutex()
{
    static std::mutex m;
    return m;
}

bool RegisterApp(CAppManager* app)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const uint32_t tid = GetCurrentThreadId();
    auto& apps = Registry();
    for (CAppManager* a : apps) {
        if (a->threadId == tid) return false;
    }
    app->threadId = tid;
    apps.push_back(app);
    single.store(apps.size() == 1 ? app : nullptr);
    return true;
}

void UnregisterApp(uint32_t threadId)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto& apps = Registry();
    auto it = std::find_if(apps.begin(), apps.end(),
                           [threadId](CAppManager* a) { return a->threadId == threadId; });
    if (it != apps.end()) apps.erase(it);
    if (apps.empty()) single.store(nullptr);
}

CAppManager* FindApp(uint32_t threadId)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    for (CAppManager* a : Registry()) {
        if (a->threadId == threadId) return a;
    }
    return nullptr;
}

bool CAppManager::InitInstance() { return true; }

int CAppManager::PreTranslateMessage(MSG*) { return 0; }

LRESULT CAppManager::OnUnboundMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }

CWindowCtrl* CAppManager::FindWindowObject(HWND hwnd) const
{
    if (!hwnd) return nullptr;
    for (CWindowCtrl* w : windows) {
        if (w->hwnd == hwnd) return w;
    }
    return nullptr;
}

bool CAppManager::AddWindow(HWND hwnd, CWindowCtrl* obj)
{
    for (CWindowCtrl* w : windows) {
        if (w->hwnd == hwnd) return false;
    }
    windows.push_back(obj);
    return true;
}

bool CAppManager::RemoveWindow(HWND hwnd)
{
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        if ((*it)->hwnd == hwnd) {
            (*it)->hwnd = nullptr;
            windows.erase(it);
            return true;
        }
    }
    return false;
}

bool CAppManager::PreTranslateWalk(MSG* msg)
{
    for (HWND h = msg->hwnd; h; h = GetParent(h)) {
        if (CWindowCtrl* w = FindWindowObject(h)) {
            if (w->PreTranslateMessage(msg)) return true;
        }
    }
    return PreTranslateMessage(msg) != 0;
}

void CAppManager::PumpMessage(MSG* msg)
{
    if (PreTranslateWalk(msg)) return;
    TranslateMessage(msg);
    DispatchMessageW(msg);
}

bool CAppManager::Run()
{
    if (GetCurrentThreadId() != threadId || running) return false;
    running = true;
    PumpMessages(nullptr);
    running = false;
    return true;
}

CAppManager::LoopEnd CAppManager::PumpMessages(const std::function<bool()>& stop, WPARAM* exitCode)
{
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            if (exitCode) *exitCode = msg.wParam;
            return LoopEnd::Quit;
        }
        if (got < 0) return LoopEnd::Failed;
        PumpMessage(&msg);
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return LoopEnd::QuitPassedOn;
        }
        if (stop && stop()) return LoopEnd::Stopped;
    }
}
