/* A DLL that someone planted beside the program under the name of a system
   DLL (winhttp.dll, bcrypt.dll). Loading it leaves "<its path>.loaded";
   its functions do nothing and fail. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      lstrcpyW(path + n, L".loaded");
      HANDLE h =
          CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
  }
  return TRUE;
}

static BOOL refuse(void) {
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

/* Every function the program and its tests import from winhttp and bcrypt,
   so that either name loads. */
#define FAIL_HANDLE(name)                     \
  __declspec(dllexport) void* WINAPI name() { \
    refuse();                                 \
    return NULL;                              \
  }
#define FAIL_BOOL(name)                      \
  __declspec(dllexport) BOOL WINAPI name() { \
    return refuse();                         \
  }
FAIL_BOOL(WinHttpAddRequestHeaders)
FAIL_BOOL(WinHttpCloseHandle)
FAIL_HANDLE(WinHttpConnect)
FAIL_BOOL(WinHttpCrackUrl)
FAIL_HANDLE(WinHttpOpen)
FAIL_HANDLE(WinHttpOpenRequest)
FAIL_BOOL(WinHttpQueryDataAvailable)
FAIL_BOOL(WinHttpQueryHeaders)
FAIL_BOOL(WinHttpReadData)
FAIL_BOOL(WinHttpReceiveResponse)
FAIL_BOOL(WinHttpSendRequest)
FAIL_BOOL(WinHttpSetOption)
FAIL_BOOL(WinHttpSetTimeouts)
__declspec(dllexport) LONG WINAPI BCryptGenRandom() {
  return (LONG)0xC0000001L;
}
