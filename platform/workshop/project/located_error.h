#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kvm::workshop {

// An error about something the user can point at: the project file's field it concerns
// ("project.textHeight", "currentUse[2]") and the plan's layers, so that a front end shows it
// there without reading them out of the message. what() is the message as the command line
// prints it.
class LocatedError : public std::runtime_error {
 public:
  explicit LocatedError(const std::string& message, std::string field = {},
                        std::vector<std::string> layers = {})
      : std::runtime_error(message), field_(std::move(field)), layers_(std::move(layers)) {}

  [[nodiscard]] const std::string& field() const noexcept { return field_; }
  [[nodiscard]] const std::vector<std::string>& layers() const noexcept { return layers_; }

 private:
  std::string field_;
  std::vector<std::string> layers_;
};

}  // namespace kvm::workshop
