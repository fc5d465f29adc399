#pragma once
// Test helpers for the update check: descriptor texts and a loopback HTTP server that serves one body and records what it was asked.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace update_test {

// One <update> entry of a descriptor.
inline std::string Entry(const std::string& attributes, const std::string& ver, const std::string& info = "notes",
                         const std::string& address = "https://download.test/twinseek.zip",
                         const std::string& date = "2012-10-20") {
    return "<update " + attributes + "><app ver=\"" + ver + "\" vdate=\"" + date + "\"><info>" + info +
           "</info><downaddr>" + address + "</downaddr></app></update>";
}

inline std::string Descriptor(const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<site><updateinfo>" + entries + "</updateinfo></site>\n";
}

// Serves `Body` to every GET on 127.0.0.1 and keeps the request heads.
class LoopbackHttpServer {
public:
    LoopbackHttpServer() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        Listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        bind(Listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(Listener, 8);
        int length = sizeof address;
        getsockname(Listener, reinterpret_cast<sockaddr*>(&address), &length);
        Port = ntohs(address.sin_port);
        Worker = std::thread([this] { Serve(); });
    }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
    ~LoopbackHttpServer() {
        Stopping = true;
        closesocket(Listener);  // ends the blocking accept
        Worker.join();
        WSACleanup();
    }

    std::wstring Url(const std::wstring& path = L"/twinseek/updateinfo.xml") const {
        return L"http://127.0.0.1:" + std::to_wstring(Port) + path;
    }

    void SetBody(const std::string& body) {
        std::lock_guard<std::mutex> lock(Mutex);
        Body = body;
    }
    std::vector<std::string> Requests() const {
        std::lock_guard<std::mutex> lock(Mutex);
        return Heads;
    }
    int RequestCount() const { return static_cast<int>(Requests().size()); }

private:
    void Serve() {
        while (!Stopping) {
            SOCKET client = accept(Listener, nullptr, nullptr);
            if (client == INVALID_SOCKET) break;
            std::string head;
            char buffer[4096];
            while (head.find("\r\n\r\n") == std::string::npos) {
                int n = recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                head.append(buffer, n);
            }
            std::string body;
            {
                std::lock_guard<std::mutex> lock(Mutex);
                Heads.push_back(head);
                body = Body;
            }
            // Cacheable for an hour, so that only the client's flags keep it from a cached copy.
            std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                                 std::to_string(body.size()) +
                                 "\r\nCache-Control: public, max-age=3600\r\n"
                                 "Last-Modified: Mon, 01 Oct 2012 00:00:00 GMT\r\nETag: \"v1\"\r\n"
                                 "Connection: close\r\n\r\n" +
                                 body;
            size_t sent = 0;
            while (sent < answer.size()) {
                int n = send(client, answer.data() + sent, static_cast<int>(answer.size() - sent), 0);
                if (n <= 0) break;
                sent += n;
            }
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    SOCKET Listener = INVALID_SOCKET;
    int Port = 0;
    std::atomic<bool> Stopping{false};
    mutable std::mutex Mutex;
    std::string Body;
    std::vector<std::string> Heads;
    std::thread Worker;
};

// A loopback port with nobody listening: a connection there is refused at once.
inline std::wstring UnreachableUrl() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    int port = ntohs(address.sin_port);
    closesocket(s);
    WSACleanup();
    return L"http://127.0.0.1:" + std::to_wstring(port) + L"/updateinfo.xml";
}

}  // namespace update_test
