// The bare window plus the network calls horvane.exe has to make in its first
// seconds: one WinHTTP POST and one SNTP exchange over UDP, both on loopback
// and on one worker thread, as blocking calls must be in a windowed program.
// horvane.exe's private memory is given as a multiple of this one's, so that
// the figure counts the program's own cost and not that of Wine's network
// and HTTP libraries.
//
// The peers are bench/startup/measure.sh's: an HTTP listener on
// 127.0.0.1:80 and chronyd on 127.0.0.1:123. The caption says how the
// exchanges went: "Bare Network" once both peers have answered.
// winsock2.h brings windows.h in after itself, so the old winsock.h stays out.
#include <winsock2.h>
//
#include <winhttp.h>

#include "bare_frame.h"

namespace {

constexpr INTERNET_PORT kHttpPort = 80;
constexpr u_short kNtpPort = 123;
constexpr int kTimeoutMs = 2000;
HWND g_window = nullptr;

bool PostOnce() {
  bool ok = false;
  HINTERNET session = WinHttpOpen(L"BareNetwork", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) return false;
  WinHttpSetTimeouts(session, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
  HINTERNET connection = WinHttpConnect(session, L"127.0.0.1", kHttpPort, 0);
  HINTERNET request = connection
                          ? WinHttpOpenRequest(connection, L"POST", L"/", nullptr,
                                               WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0)
                          : nullptr;
  char body[] = "appname=Bare&appversion=1.0";
  const DWORD length = sizeof(body) - 1;
  const wchar_t headers[] = L"Content-Type: application/x-www-form-urlencoded\r\n";
  if (request &&
      WinHttpSendRequest(request, headers, static_cast<DWORD>(-1), body, length, length, 0) &&
      WinHttpReceiveResponse(request, nullptr)) {
    char answer[4096];
    DWORD read = 0;
    ok = WinHttpReadData(request, answer, sizeof(answer), &read) != FALSE;
  }
  if (request) WinHttpCloseHandle(request);
  if (connection) WinHttpCloseHandle(connection);
  WinHttpCloseHandle(session);
  return ok;
}

bool SntpOnce() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  bool ok = false;
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s != INVALID_SOCKET) {
    DWORD timeout = kTimeoutMs;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kNtpPort);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    char packet[48] = {0x23};  // version 4, client
    if (sendto(s, packet, sizeof(packet), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)) ==
        sizeof(packet)) {
      char answer[68];
      ok = recv(s, answer, sizeof(answer), 0) == sizeof(packet);
    }
    closesocket(s);
  }
  WSACleanup();
  return ok;
}

DWORD WINAPI Worker(void*) {
  const bool ntp = SntpOnce();
  const bool http = PostOnce();
  SetWindowTextW(g_window, ntp && http ? L"Bare Network"
                           : ntp       ? L"Bare Network (no HTTP answer)"
                           : http      ? L"Bare Network (no NTP answer)"
                                       : L"Bare Network (no answers)");
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  if (!bare::RegisterFrameClass(instance, L"BareNetwork")) return 1;
  g_window =
      CreateWindowExW(0, L"BareNetwork", L"Bare Network (waiting)", WS_OVERLAPPEDWINDOW,
                      CW_USEDEFAULT, CW_USEDEFAULT, 424, 303, nullptr, nullptr, instance, nullptr);
  if (!g_window) return 1;
  ShowWindow(g_window, show);
  HANDLE worker = CreateThread(nullptr, 0, Worker, nullptr, 0, nullptr);
  if (worker) CloseHandle(worker);
  return bare::RunMessageLoop();
}
