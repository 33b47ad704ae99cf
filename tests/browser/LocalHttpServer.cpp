#include "LocalHttpServer.h"

#include <ws2tcpip.h>

LocalHttpServer::LocalHttpServer(DWORD lifetimeMs, unsigned short port, bool listenNow)
    : lifetimeMs_(lifetimeMs)
{
    started_ = WSAStartup(MAKEWORD(2, 2), &wsa_) == 0;
    if (!started_) return;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener_ == INVALID_SOCKET) return;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int length = sizeof(address);
    // Exclusive: a port another program serves must not be shared with it.
    BOOL exclusive = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof(exclusive));
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return;
    }
    port_ = ntohs(address.sin_port);
    if (listenNow) Listen();
}

bool LocalHttpServer::Listen()
{
    if (!Bound() || serving_) return serving_;
    if (listen(listener_, 8) != 0) return false;
    serving_ = true;
    thread_ = std::thread([this] { Serve(lifetimeMs_); });
    return true;
}

LocalHttpServer::~LocalHttpServer()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    if (started_) WSACleanup();
}

std::wstring LocalHttpServer::Url(const char* path) const
{
    std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port_);
    for (const char* p = path; *p; ++p) url += static_cast<wchar_t>(*p);
    return url;
}

std::vector<std::string> LocalHttpServer::Requests()
{
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

void LocalHttpServer::Serve(DWORD lifetimeMs)
{
    const ULONGLONG end = GetTickCount64() + lifetimeMs;
    while (!stop_ && GetTickCount64() < end) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        timeval wait = {0, 50 * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        Answer(client);
        closesocket(client);
    }
}

void LocalHttpServer::Answer(SOCKET client)
{
    DWORD timeout = 2000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
    std::string request;
    char chunk[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
        int got = recv(client, chunk, sizeof(chunk), 0);
        if (got <= 0) break;
        request.append(chunk, static_cast<size_t>(got));
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        requests_.push_back(request.substr(0, request.find("\r\n")));
    }
    // A slow page keeps the navigation in flight for a while.
    if (request.find(" /slow") != std::string::npos) Sleep(1000);
    static const char body[] = "<html><head><title>local</title></head><body>local</body></html>";
    std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                        std::to_string(sizeof(body) - 1) + "\r\nConnection: close\r\n\r\n" + body;
    send(client, reply.data(), static_cast<int>(reply.size()), 0);
    shutdown(client, SD_SEND);
}
