#include "platform/workshop/job/bill_request.h"

#include <array>
#include <tuple>

#include "base/text.h"
#include "platform/script/script_stop.h"
#include "settings/frm_set_texts.h"
#include "storage/stored_settings.h"

namespace kvm::workshop {

namespace {

std::string joined(const std::vector<std::u16string>& notes) {
  std::string text;
  for (const std::u16string& note : notes) {
    const std::string line = toUtf8(trimSpaces(note));
    if (line.empty()) continue;
    text += (text.empty() ? "" : " / ") + line;
  }
  return text.empty() ? "nothing" : text;
}

// The dialog refuses a project setting with its rule and no place; the project file has one.
void refusedSetting(const Project& project, const std::vector<std::u16string>& notes) {
  namespace text = frm_set_text;
  const std::array<std::tuple<std::u16string_view, const char*, TextPosition>, 4> settings{{
      {text::kProjectMessage, "project.name", project.namePlace},
      {text::kThicknessMessage, "project.plateThickness", project.thicknessPlace},
      {text::kClassStepMessage, "project.lengthClassStep", project.classStepPlace},
      {text::kTextHeightMessage, "project.textHeight", project.textHeightPlace},
  }};
  for (const std::u16string& note : notes) {
    for (const auto& [message, field, at] : settings) {
      if (trimSpaces(note) == message) {
        throw ProjectError(project.source + ":" + std::to_string(at.line) + ":" +
                               std::to_string(at.column) + ": " + field + ": " + toUtf8(message),
                           field);
      }
    }
  }
}

}  // namespace

BillHandOver requestBillRecord(sim::HostSession& session, const Project& project) {
  std::vector<std::u16string> currentUse;
  currentUse.reserve(project.flashings.size());
  for (const ProjectFlashing& flashing : project.flashings) {
    currentUse.push_back(flashing.currentUse);
  }
  writeDang(session.settings(), project.settings, currentUse);

  // An open call: the profile arrays are not read.
  std::vector<Variant> args{session.application(),
                            std::u16string(),
                            Variant(),
                            Variant::array(VarType::Integer, {}),
                            Variant::array(VarType::Double, {}),
                            Variant(),
                            Variant()};
  const nlohmann::json pressBillButton = nlohmann::json::array({{"click", "cmdQingDan"}});
  Variant result;
  try {
    result = session.call(u"kvmset", std::move(args), pressBillButton);
  } catch (const script::ScriptStop&) {
    const std::vector<std::u16string> notes = session.notes().take();
    refusedSetting(project, notes);
    throw BillRequestError("the settings dialog kept the bill back; it showed: " + joined(notes));
  }
  BillHandOver handOver{result.isString() ? result.stringValue() : std::u16string(),
                        session.notes().take()};
  if (!handOver.record.starts_with(u"list")) {
    throw BillRequestError("the settings dialog answered \"" +
                           toUtf8(handOver.record.substr(0, 20)) +
                           "\" instead of a bill; it showed: " + joined(handOver.notes));
  }
  return handOver;
}

}  // namespace kvm::workshop
