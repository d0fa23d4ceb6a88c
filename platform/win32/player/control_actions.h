#pragma once

#include "platform/win32/windows_headers.h"

#include <string>

#include <nlohmann/json.hpp>

#include "platform/script/action_args.h"

namespace kvm::win32 {

// Performs a `ui` action on control `name` of dialog `form` through posted window messages, as
// the user's mouse and keys would: `state` is the DLL's dump of the control (its kind, window
// and identifier, list geometry). Checked first as the scripted desktop checks it; a text
// typed into a combo box goes through the clipboard, opened for `clipboardOwner`.
void actOnControl(const script::ActionArgs& args, const std::string& name, const std::string& form,
                  const nlohmann::json& state, HWND clipboardOwner);

}  // namespace kvm::win32
