#pragma once
// An in-memory registry: keys by root and path (ASCII case ignored), values
// with their types. Access masks can be refused and writes failed.
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace hv::test {

class FakeRegistry : public platform::Registry {
 public:
  struct Opened {
    platform::RegistryRoot root;
    std::wstring path;
    std::uint32_t access;
  };
  // Access masks (with the view bit) that openKey refuses.
  std::set<std::uint32_t> refusedAccess;
  bool refuseCreate = false;
  bool refuseWrites = false;
  // Names whose writes are refused, the others still succeed.
  std::set<std::wstring> refusedValues;
  std::vector<Opened> opened;
  int keysOpen = 0;

  void put(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name,
           platform::RegistryValue value) {
    keys_[keyName(root, path)][name] = std::move(value);
  }
  void putString(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name,
                 const std::wstring& text) {
    put(root, path, name, platform::StringValue(text));
  }
  void addKey(platform::RegistryRoot root, const std::wstring& path) { keys_[keyName(root, path)]; }
  // Forgets every key and what was opened.
  void clear() {
    keys_.clear();
    opened.clear();
  }
  std::optional<platform::RegistryValue> value(platform::RegistryRoot root,
                                               const std::wstring& path,
                                               const std::wstring& name) const {
    const auto k = keys_.find(keyName(root, path));
    if (k == keys_.end()) return std::nullopt;
    const auto v = k->second.find(name);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
  }
  std::optional<std::wstring> text(platform::RegistryRoot root, const std::wstring& path,
                                   const std::wstring& name) const {
    const auto v = value(root, path, name);
    if (!v) return std::nullopt;
    return platform::StringOf(*v);
  }

  std::unique_ptr<platform::RegistryKey> openKey(platform::RegistryRoot root,
                                                 const std::wstring& path,
                                                 std::uint32_t access) override {
    opened.push_back({root, path, access});
    if (refusedAccess.count(access)) return nullptr;
    const auto k = keys_.find(keyName(root, path));
    if (k == keys_.end()) return nullptr;
    return std::make_unique<Key>(*this, k->first);
  }
  std::unique_ptr<platform::RegistryKey> createKey(platform::RegistryRoot root,
                                                   const std::wstring& path) override {
    if (refuseCreate) return nullptr;
    const std::wstring name = keyName(root, path);
    keys_[name];
    return std::make_unique<Key>(*this, name);
  }
  bool deleteTree(platform::RegistryRoot root, const std::wstring& path) override {
    return keys_.erase(keyName(root, path)) != 0;
  }

 private:
  static std::wstring keyName(platform::RegistryRoot root, const std::wstring& path) {
    std::wstring name = root == platform::RegistryRoot::CurrentUser ? L"HKCU\\" : L"HKLM\\";
    for (wchar_t c : path) name.push_back(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
    return name;
  }
  class Key : public platform::RegistryKey {
   public:
    Key(FakeRegistry& reg, std::wstring name) : reg_(reg), name_(std::move(name)) {
      ++reg_.keysOpen;
    }
    ~Key() override { --reg_.keysOpen; }
    std::optional<platform::RegistryValue> queryValue(const std::wstring& name) override {
      auto& values = reg_.keys_[name_];
      const auto it = values.find(name);
      if (it == values.end()) return std::nullopt;
      return it->second;
    }
    bool setValue(const std::wstring& name, const platform::RegistryValue& value) override {
      if (reg_.refuseWrites || reg_.refusedValues.count(name)) return false;
      reg_.keys_[name_][name] = value;
      return true;
    }

   private:
    FakeRegistry& reg_;
    std::wstring name_;
  };
  std::map<std::wstring, std::map<std::wstring, platform::RegistryValue>> keys_;
};

}  // namespace hv::test
