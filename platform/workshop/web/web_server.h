#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "platform/workshop/web/database_listing.h"
#include "platform/workshop/web/plan_upload.h"

namespace kvm::workshop::web {

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8040;  // 0: any free port
  DatabaseChoice database;
  std::chrono::seconds sessionLifetime{3600};
  std::size_t maxUpload = std::size_t{512} << 20U;  // bytes of one plan
  std::chrono::seconds jobTimeLimit{600};
  TakeoffJson takeoffJson;
};

// The workshop page and its API on cpp-httplib: every request needs the access token, names
// this server in its Host header and, if it changes something, comes from the page itself.
class WebServer {
 public:
  explicit WebServer(ServerOptions options);
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;
  WebServer(WebServer&&) = delete;
  WebServer& operator=(WebServer&&) = delete;
  ~WebServer();

  // Binds the address; throws with a message of ours when it cannot. Returns the port.
  int bind();
  // "http://127.0.0.1:8040/?token=…", the address the user opens.
  [[nodiscard]] std::string address() const;
  // Serves until stop().
  void run();
  // Ends run() from another thread; a running bill stops at its next step.
  void stop();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kvm::workshop::web
