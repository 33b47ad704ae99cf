#include "LocalHttpServer.h"

#include <ws2tcpip.h>

LocalHttpServer::LocalHttpServer(DWORD lifetime, unsigned short wantedPort, bool listenNow)
    : lifetimeMs(lifetime)
{
    started = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    if (!started) return;
    listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) return;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(wantedPort);
    int length = sizeof(address);
    // Exclusive: a port another program serves must not be shared with it.
    BOOL exclusive = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof(exclusive));
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        listener = INVALID_SOCKET;
        return;
    }
    port = ntohs(address.sin_port);
    if (listenNow) Listen();
}

bool LocalHttpServer::Listen()
{
    if (!Bound() || serving) return serving;
    if (listen(listener, 8) != 0) return false;
    serving = true;
    thread = std::thread([this] { Serve(lifetimeMs); });
    return true;
}

LocalHttpServer::~LocalHttpServer()
{
    stop = true;
    if (thread.joinable()) thread.join();
    if (listener != INVALID_SOCKET) closesocket(listener);
    if (started) WSACleanup();
}

std::wstring LocalHttpServer::Url(const char* path) const
{
    std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port);
    for (const char* p = path; *p; ++p) url += static_cast<wchar_t>(*p);
    return url;
}

std::vector<std::string> LocalHttpServer::Requests()
{
    std::lock_guard<std::mutex> guard(lock);
    return requests;
}

void LocalHttpServer::Serve(DWORD lifetime)
{
    const ULONGLONG end = GetTickCount64() + lifetime;
    while (!stop && GetTickCount64() < end) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener, &readable);
        timeval wait = {0, 50 * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        SOCKET client = accept(listener, nullptr, nullptr);
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
        std::lock_guard<std::mutex> guard(lock);
        requests.push_back(request.substr(0, request.find("\r\n")));
    }
    // A slow page keeps the navigation in flight for a while.
    if (request.find(" /slow") != std::string::npos) Sleep(1000);
    static const char body[] = "<html><head><title>local</title></head><body>local</body></html>";
    std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                        std::to_string(sizeof(body) - 1) + "\r\nConnection: close\r\n\r\n" + body;
    send(client, reply.data(), static_cast<int>(reply.size()), 0);
    shutdown(client, SD_SEND);
    while (recv(client, chunk, sizeof(chunk), 0) > 0) {
    }
    ++ended;
}
