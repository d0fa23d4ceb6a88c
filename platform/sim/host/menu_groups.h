#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "dispatch/dispatch.h"

namespace kvm::sim {

class Toolbar : public Dispatch {
 public:
  // Without a name of its own a toolbar is named by its tag string.
  Toolbar(std::optional<std::u16string> name, std::u16string tagString, bool visible)
      : name_(std::move(name)), tagString_(std::move(tagString)), visible_(visible) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"Toolbar"; }

  [[nodiscard]] const std::u16string& name() const { return name_ ? *name_ : tagString_; }
  [[nodiscard]] nlohmann::json dump() const;

 private:
  std::optional<std::u16string> name_;
  std::u16string tagString_;
  bool visible_;
};

class MenuGroup : public Dispatch {
 public:
  MenuGroup(std::u16string name, std::vector<std::shared_ptr<Toolbar>> toolbars)
      : name_(std::move(name)), toolbars_(std::move(toolbars)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"MenuGroup"; }

  [[nodiscard]] const std::u16string& name() const { return name_; }
  [[nodiscard]] nlohmann::json dump() const;

 private:
  std::u16string name_;
  std::vector<std::shared_ptr<Toolbar>> toolbars_;
};

// The "menugroups" configuration of a host: [{"name", "toolbars": [{"tagstring", "visible",
// optional "name"}]}]. Malformed configurations throw std::invalid_argument.
std::vector<std::shared_ptr<MenuGroup>> menuGroupsFromJson(const nlohmann::json& config);

}  // namespace kvm::sim
