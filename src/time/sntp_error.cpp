#include "time/sntp_error.h"

#include <cwchar>

namespace hv::time {
namespace {

struct Description {
  int code;
  const wchar_t* text;
};

constexpr Description kDescriptions[] = {
    {8, L"Not enough memory."},
    {10004, L"Interrupted system call."},
    {10009, L"Bad file number."},
    {10013, L"Access denied."},
    {10014, L"Bad address."},
    {10022, L"Invalid argument."},
    {10024, L"Too many open files."},
    {10035, L"Operation would block."},
    {10036, L"Operation now in progress."},
    {10037, L"Operation already in progress."},
    {10038, L"Socket operation on non-socket."},
    {10039, L"Destination address required."},
    {10040, L"Message too long."},
    {10041, L"Protocol wrong type for socket."},
    {10042, L"Bad protocol option."},
    {10043, L"Protocol not supported."},
    {10044, L"Socket type not supported."},
    {10045, L"Operation not supported on socket."},
    {10047, L"Address family not supported by protocol family."},
    {10048, L"Address already in use."},
    {10049, L"Cannot assign requested address."},
    {10050, L"Network is down."},
    {10051, L"Network is unreachable."},
    {10052, L"Net dropped connection or reset."},
    {10053, L"Software caused connection abort."},
    {10054, L"Connection reset by peer."},
    {10055, L"No buffer space available."},
    {10056, L"Socket is already connected."},
    {10057, L"Socket is not connected."},
    {10060, L"Connection timed out."},
    {10061, L"Connection refused."},
    {10064, L"Host is down."},
    {10065, L"No route to host."},
    {10091, L"Network subsystem is unavailable."},
    {10093, L"Winsock not initialized."},
    {10107, L"System call failure."},
    {10109, L"Class type not found."},
    {11001, L"Host not found."},
    {11002, L"Non-authoritative response (try again or check DNS setup)."},
    {11003, L"Non-recoverable errors: FORMERR, REFUSED, NOTIMP."},
    {11004, L"Valid name, no data record (check DNS setup)."},
};

std::wstring Describe(int code) {
  for (const auto& d : kDescriptions) {
    if (d.code == code) return d.text;
  }
  return L"Unknown socket error.";
}

std::wstring Format(int code) {
  wchar_t number[16];
  std::swprintf(number, 16, L"%d", code);
  return L"Socket Error # " + std::wstring(number) + L"\r\n" + Describe(code);
}

}  // namespace

EIdSocketError::EIdSocketError(int code) : Error(Format(code)), code_(code) {}

std::wstring SocketErrorText(int code) {
  return Describe(code);
}

}  // namespace hv::time
