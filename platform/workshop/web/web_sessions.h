#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace kvm::workshop::web {

// One user's plan and the bills made from it, in a folder of its own. A session runs one bill
// at a time: `work` is held while one runs.
struct WebSession {
  std::string id;
  std::filesystem::path folder;
  std::filesystem::path plan;     // the uploaded plan drawing
  std::filesystem::path outputs;  // the folder the bill goes to
  std::string planName;           // the name the user's file had, for messages
  std::mutex work;
};

// The sessions of one server, each in a folder under a temporary root of its own. A session
// unused for `lifetime` is removed with its folder; the root and all in it go when the store
// does (the server ends).
class WebSessions {
 public:
  explicit WebSessions(std::chrono::seconds lifetime);
  WebSessions(const WebSessions&) = delete;
  WebSessions& operator=(const WebSessions&) = delete;
  WebSessions(WebSessions&&) = delete;
  WebSessions& operator=(WebSessions&&) = delete;
  ~WebSessions();

  std::shared_ptr<WebSession> create();
  // Nothing for an unknown or expired id; a found session counts as used now.
  std::shared_ptr<WebSession> find(const std::string& id);
  void remove(const std::string& id);
  // Removes the sessions unused for longer than their lifetime; one running a bill is in use.
  void expire();

  [[nodiscard]] const std::filesystem::path& root() const { return root_; }

 private:
  struct Entry {
    std::shared_ptr<WebSession> session;
    std::chrono::steady_clock::time_point used;
  };

  std::chrono::seconds lifetime_;
  std::filesystem::path root_;
  std::mutex mutex_;
  std::map<std::string, Entry> sessions_;
};

}  // namespace kvm::workshop::web
