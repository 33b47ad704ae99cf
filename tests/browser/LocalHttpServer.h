#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A tiny HTTP server on 127.0.0.1 and a port of the system's choosing (or the given one),
// answering every request with one small page (paths starting with /slow after a second). It
// serves on its own thread for at most lifetimeMs, then closes. Made with listenNow false it only
// holds the port, so connections to it are refused, until Listen.
class LocalHttpServer {
public:
    explicit LocalHttpServer(DWORD lifetime = 30000, unsigned short wantedPort = 0, bool listenNow = true);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Starts serving a port held until now; true when it serves.
    bool Listen();
    // The port is ours (bound); connections are accepted only once it serves.
    bool Bound() const { return listener != INVALID_SOCKET; }
    bool Listening() const { return Bound() && serving; }
    std::wstring Url(const char* path) const;
    // Request lines seen so far ("GET /path HTTP/1.1").
    std::vector<std::string> Requests();
    // Connections answered and then closed by the client (or given up after two quiet seconds).
    int Ended() const { return ended; }

private:
    void Serve(DWORD lifetimeMs);
    void Answer(SOCKET client);

    WSADATA wsa = {};
    bool started = false;
    SOCKET listener = INVALID_SOCKET;
    unsigned short port = 0;
    DWORD lifetimeMs = 0;
    bool serving = false;
    std::atomic<bool> stop{false};
    std::atomic<int> ended{0};
    std::mutex lock;
    std::vector<std::string> requests;
    std::thread thread;
};
