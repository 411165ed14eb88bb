#pragma once
// HTTP clients that answer from a script and record what was sent, each
// request with the kind of client that carried it. The update check posts
// from its own thread, so the script and the record are locked.
#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "base/error.h"
#include "platform/http.h"

namespace hv::test {

class FakeHttp : public platform::Http {
 public:
  enum class Kind { Platform, Plain };
  struct Sent {
    Kind kind;
    platform::HttpRequest request;
    std::wstring header(const std::wstring& name) const {
      for (const auto& h : request.headers)
        if (h.name == name) return h.value;
      return {};
    }
    bool hasHeader(const std::wstring& name) const {
      for (const auto& h : request.headers)
        if (h.name == name) return true;
      return false;
    }
  };
  // A reply is an answer, or the text of a failure to raise.
  using Reply = std::variant<platform::HttpResponse, std::wstring>;

  // Replies for a URL, used in turn; the last one repeats. A URL without
  // replies fails as a refused connection would.
  void reply(const std::wstring& url, Reply r) {
    std::lock_guard lock(mutex_);
    replies_[url].push_back(std::move(r));
  }
  void answer(const std::wstring& url, std::string body, unsigned status = 200,
              std::wstring contentType = L"text/html; charset=UTF-8") {
    platform::HttpResponse response;
    response.status = status;
    response.reason = status == 200 ? L"OK" : status == 404 ? L"Not Found" : L"Error";
    response.contentType = std::move(contentType);
    response.body = std::move(body);
    reply(url, response);
  }
  void fail(const std::wstring& url, std::wstring message) { reply(url, std::move(message)); }
  // Forgets the script and the record.
  void clear() {
    std::lock_guard lock(mutex_);
    replies_.clear();
    sent.clear();
  }

  std::vector<Sent> sent;
  std::atomic<int> clientsCreated{0};
  std::atomic<int> clientsAlive{0};

  std::unique_ptr<platform::HttpClient> newPlatformClient() override {
    return std::make_unique<Client>(*this, Kind::Platform);
  }
  std::unique_ptr<platform::HttpClient> newPlainTransport() override {
    return std::make_unique<Client>(*this, Kind::Plain);
  }

 private:
  class Client : public platform::HttpClient {
   public:
    Client(FakeHttp& http, Kind kind) : http_(http), kind_(kind) {
      ++http_.clientsCreated;
      ++http_.clientsAlive;
    }
    ~Client() override { --http_.clientsAlive; }
    platform::HttpResponse post(const platform::HttpRequest& request) override {
      if (used_) throw Error(L"client used twice");
      used_ = true;
      Reply r;
      {
        std::lock_guard lock(http_.mutex_);
        http_.sent.push_back({kind_, request});
        auto it = http_.replies_.find(request.url);
        if (it == http_.replies_.end() || it->second.empty())
          throw Error(L"A connection with the server could not be established");
        r = it->second.front();
        if (it->second.size() > 1) it->second.pop_front();
      }
      if (auto* message = std::get_if<std::wstring>(&r)) throw Error(*message);
      return std::get<platform::HttpResponse>(r);
    }

   private:
    FakeHttp& http_;
    Kind kind_;
    bool used_ = false;
  };
  std::mutex mutex_;
  std::map<std::wstring, std::deque<Reply>> replies_;
};

}  // namespace hv::test
