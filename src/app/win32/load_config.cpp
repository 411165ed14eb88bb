// The program's PE load configuration. Its one job: the DLLs the program
// imports that are not KnownDLLs (winhttp, version, netapi32, uxtheme,
// bcrypt) come from System32 only, never from the program's own folder,
// where anyone who can write Downloads could plant one for an elevated run.
// The linker of this toolchain (binutils 2.40) doesn't point the PE header's
// load-configuration directory at _load_config_used, so the structure sits
// in a section of its own, and scripts/pe-load-config.py points the
// directory at that section after the link.
#include <cstddef>
#include <cstdint>

namespace {

// IMAGE_LOAD_CONFIG_DIRECTORY64 up to SEHandlerCount, with the field that
// the MinGW headers still call Reserved1 by its name.
struct LoadConfig64 {
  std::uint32_t Size;
  std::uint32_t TimeDateStamp;
  std::uint16_t MajorVersion;
  std::uint16_t MinorVersion;
  std::uint32_t GlobalFlagsClear;
  std::uint32_t GlobalFlagsSet;
  std::uint32_t CriticalSectionDefaultTimeout;
  std::uint64_t DeCommitFreeBlockThreshold;
  std::uint64_t DeCommitTotalFreeThreshold;
  std::uint64_t LockPrefixTable;
  std::uint64_t MaximumAllocationSize;
  std::uint64_t VirtualMemoryThreshold;
  std::uint64_t ProcessAffinityMask;
  std::uint32_t ProcessHeapFlags;
  std::uint16_t CSDVersion;
  std::uint16_t DependentLoadFlags;
  std::uint64_t EditList;
  std::uint64_t SecurityCookie;
  std::uint64_t SEHandlerTable;
  std::uint64_t SEHandlerCount;
};
static_assert(offsetof(LoadConfig64, DependentLoadFlags) == 0x4E);
static_assert(sizeof(LoadConfig64) == 0x70);

constexpr std::uint16_t kLoadLibrarySearchSystem32 = 0x0800;

constexpr LoadConfig64 MakeLoadConfig() {
  LoadConfig64 config{};
  config.Size = sizeof config;
  config.DependentLoadFlags = kLoadLibrarySearchSystem32;
  return config;
}

}  // namespace

extern "C" __attribute__((used, section(".lcfg"))) const LoadConfig64 _load_config_used =
    MakeLoadConfig();
