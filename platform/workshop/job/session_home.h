#pragma once

#include <filesystem>
#include <optional>

namespace kvm::workshop {

// Where a bill job keeps its program directory and settings store: the folder the user named,
// or a fresh temporary one that goes away with this object.
class SessionHome {
 public:
  explicit SessionHome(const std::optional<std::filesystem::path>& given);
  SessionHome(const SessionHome&) = delete;
  SessionHome& operator=(const SessionHome&) = delete;
  SessionHome(SessionHome&&) = delete;
  SessionHome& operator=(SessionHome&&) = delete;
  ~SessionHome();

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  [[nodiscard]] bool temporary() const { return temporary_; }

 private:
  std::filesystem::path path_;
  bool temporary_ = false;
};

}  // namespace kvm::workshop
