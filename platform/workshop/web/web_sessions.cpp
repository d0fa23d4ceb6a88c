#include "platform/workshop/web/web_sessions.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "platform/workshop/web/access_guard.h"

namespace kvm::workshop::web {

namespace {

namespace fs = std::filesystem;

fs::path makeRoot() {
  std::error_code error;
  fs::path base = fs::temp_directory_path(error);
  if (error) {
    base = "/tmp";
  }
  std::string pattern = (base / "kavelmor-serve-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error(base.string() + ": cannot make a folder for the sessions there");
  }
  return pattern;
}

void removeFolder(const fs::path& folder) {
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace

WebSessions::WebSessions(std::chrono::seconds lifetime) : lifetime_(lifetime), root_(makeRoot()) {}

WebSessions::~WebSessions() {
  const std::scoped_lock lock(mutex_);
  sessions_.clear();
  removeFolder(root_);
}

std::shared_ptr<WebSession> WebSessions::create() {
  auto session = std::make_shared<WebSession>();
  // Not guessable: another user of the same server cannot reach this one's files.
  session->id = freshToken().substr(0, 32);
  session->folder = root_ / session->id;
  session->plan = session->folder / "plan.dxf";
  session->outputs = session->folder / "outputs";
  std::error_code error;
  fs::create_directories(session->outputs, error);
  if (error) {
    throw std::runtime_error("cannot make a session folder: " + error.message());
  }
  const std::scoped_lock lock(mutex_);
  sessions_[session->id] = {session, std::chrono::steady_clock::now()};
  return session;
}

std::shared_ptr<WebSession> WebSessions::find(const std::string& id) {
  const std::scoped_lock lock(mutex_);
  const auto found = sessions_.find(id);
  if (found == sessions_.end()) {
    return nullptr;
  }
  found->second.used = std::chrono::steady_clock::now();
  return found->second.session;
}

void WebSessions::remove(const std::string& id) {
  std::shared_ptr<WebSession> session;
  {
    const std::scoped_lock lock(mutex_);
    const auto found = sessions_.find(id);
    if (found == sessions_.end()) {
      return;
    }
    session = found->second.session;
    sessions_.erase(found);
  }
  // A bill still running in it finishes first.
  const std::scoped_lock busy(session->work);
  removeFolder(session->folder);
}

void WebSessions::expire() {
  std::vector<std::string> old;
  {
    const std::scoped_lock lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    for (auto& [id, entry] : sessions_) {
      if (now - entry.used <= lifetime_) {
        continue;
      }
      // A bill running in it, however long, is use.
      std::unique_lock<std::mutex> idle(entry.session->work, std::try_to_lock);
      if (idle.owns_lock()) {
        old.push_back(id);
      } else {
        entry.used = now;
      }
    }
  }
  for (const std::string& id : old) {
    remove(id);
  }
}

}  // namespace kvm::workshop::web
