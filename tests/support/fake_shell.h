#pragma once
// Records what the program asks of the shell.
#include <string>
#include <vector>

#include "base/error.h"
#include "platform/shell.h"

namespace hv::test {

class FakeShell : public platform::Shell {
 public:
  struct Opened {
    std::wstring file, parameters, directory;
    platform::ShowCommand show;
    // Through openAsUser, in the user's unelevated session.
    bool asUser = false;
  };
  void open(const std::wstring& file, const std::wstring& parameters, const std::wstring& directory,
            platform::ShowCommand show) override {
    opened.push_back({file, parameters, directory, show});
    if (failOpen) throw Error(L"no shell");
  }
  void openAsUser(const std::wstring& file, const std::wstring& parameters,
                  platform::ShowCommand show) override {
    opened.push_back({file, parameters, L"", show, true});
    if (failOpen) throw Error(L"no shell");
  }
  void run(const std::wstring& program, const std::wstring& parameters,
           const std::wstring& directory, platform::ShowCommand show) override {
    ran.push_back({program, parameters, directory, show});
  }
  void holdNamedMutex(const std::wstring& name) override { mutexes.push_back(name); }
  std::wstring firstArgument() override { return argument; }
  std::uint16_t addGlobalAtom(const std::wstring& name) override {
    atoms.push_back(name);
    return atomValue;
  }

  std::vector<Opened> opened;
  // Programs started by run(), in the same shape.
  std::vector<Opened> ran;
  std::vector<std::wstring> mutexes, atoms;
  std::wstring argument;
  std::uint16_t atomValue = 0xC123;
  bool failOpen = false;
};

}  // namespace hv::test
