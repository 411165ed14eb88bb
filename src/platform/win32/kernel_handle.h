#pragma once
// Owner of one kernel object handle (file, mutex, process, thread).
#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace hv::platform::win32 {

struct KernelTraits {
  using Handle = HANDLE;
  // CreateFileW fails with INVALID_HANDLE_VALUE, the other calls with null.
  static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void free(HANDLE h) { CloseHandle(h); }
};

using KernelHandle = UniqueHandle<KernelTraits>;

}  // namespace hv::platform::win32
