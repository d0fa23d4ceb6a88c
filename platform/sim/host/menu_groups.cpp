#include "platform/sim/host/menu_groups.h"

#include <stdexcept>

#include "base/text.h"
#include "platform/sim/host/member_call.h"
#include "platform/sim/host/named_collection.h"

namespace kvm::sim {

Variant Toolbar::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"Name")) return this->name();
  if (call.get(u"TagString")) return tagString_;
  if (call.get(u"Visible")) return visible_;
  if (call.put(u"Visible")) {
    visible_ = toBoolean(call.value());
    return {};
  }
  call.fail();
}

nlohmann::json Toolbar::dump() const {
  nlohmann::json out{{"tagstring", toUtf8(tagString_)}, {"visible", visible_}};
  if (name_) {
    out["name"] = toUtf8(*name_);
  }
  return out;
}

Variant MenuGroup::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"Name")) return name_;
  if (call.get(u"Toolbars")) {
    return DispatchPtr(std::make_shared<NamedCollection<Toolbar>>(u"Toolbars", toolbars_));
  }
  call.fail();
}

nlohmann::json MenuGroup::dump() const {
  nlohmann::json toolbars = nlohmann::json::array();
  for (const auto& toolbar : toolbars_) {
    toolbars.push_back(toolbar->dump());
  }
  return {{"name", toUtf8(name_)}, {"toolbars", std::move(toolbars)}};
}

namespace {

std::u16string requiredString(const nlohmann::json& object, const char* key) {
  if (!object.is_object() || !object.contains(key) || !object[key].is_string()) {
    throw std::invalid_argument(std::string("menugroups: \"") + key + "\" must be a string");
  }
  return fromUtf8(object[key].get<std::string>());
}

std::shared_ptr<Toolbar> toolbarFromJson(const nlohmann::json& config) {
  std::u16string tagString = requiredString(config, "tagstring");
  std::optional<std::u16string> name;
  if (config.contains("name")) {
    name = requiredString(config, "name");
  }
  bool visible = false;
  if (config.contains("visible")) {
    if (!config["visible"].is_boolean()) {
      throw std::invalid_argument("menugroups: \"visible\" must be true or false");
    }
    visible = config["visible"].get<bool>();
  }
  return std::make_shared<Toolbar>(std::move(name), std::move(tagString), visible);
}

}  // namespace

std::vector<std::shared_ptr<MenuGroup>> menuGroupsFromJson(const nlohmann::json& config) {
  if (!config.is_array()) {
    throw std::invalid_argument("menugroups must be an array");
  }
  std::vector<std::shared_ptr<MenuGroup>> groups;
  for (const nlohmann::json& group : config) {
    std::u16string name = requiredString(group, "name");
    std::vector<std::shared_ptr<Toolbar>> toolbars;
    if (group.contains("toolbars")) {
      if (!group["toolbars"].is_array()) {
        throw std::invalid_argument("menugroups: \"toolbars\" must be an array");
      }
      for (const nlohmann::json& toolbar : group["toolbars"]) {
        toolbars.push_back(toolbarFromJson(toolbar));
      }
    }
    groups.push_back(std::make_shared<MenuGroup>(std::move(name), std::move(toolbars)));
  }
  return groups;
}

}  // namespace kvm::sim
