#include "apps/kavelmor/script/script_session.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "apps/kavelmor/script/local_date.h"
#include "apps/kavelmor/script/program_files.h"
#include "apps/kavelmor/script/session_stores.h"
#include "apps/kavelmor/script/value_json.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "host/component.h"
#include "host/interface.h"
#include "platform/script/answer_queue.h"
#include "platform/script/json_lines_sink.h"
#include "platform/script/script_stop.h"
#include "platform/sim/host/sim_host.h"
#include "platform/sim/ui/scripted_ui.h"

namespace kvm::script {

namespace {

using nlohmann::json;
using script::ScriptStop;

class Session {
 public:
  Session(std::ostream& out, const SessionOptions& options)
      : sink_(out),
        host_(sink_),
        stores_(options),
        createComponent_(options.createComponent ? options.createComponent : kvm::createComponent),
        player_(options.player) {
    ui_ = std::make_shared<sim::ScriptedUi>(
        sink_, answers_,
        sim::DesktopState{[this] { return host_.shiftDown(); },
                          [this](std::intptr_t after, std::u16string_view title) {
                            return host_.topLevelWindowAfter(after, title);
                          },
                          [this] { return host_.today().value_or(localToday()); },
                          [this] {
                            return ScreenSize{host_.screenWidth(), host_.screenHeight()};
                          }});
    process_ = std::make_shared<ProcessContext>();
    process_->ui = ui_;
    process_->settings = stores_.settings();
    process_->programDirectoryRoot = stores_.programDirectoryRoot();
  }

  void step(const json& line) {
    if (!line.is_object()) {
      throw std::invalid_argument("a step is one JSON object");
    }
    if (line.contains("host")) {
      host_.configure(line.at("host"));
    } else if (line.contains("create")) {
      played([this] {
        component_.reset();
        component_ = createComponent_(process_);
      });
    } else if (line.contains("call")) {
      call(line);
    } else if (line.contains("release")) {
      played([this] { component_.reset(); });
    } else if (line.contains("answers")) {
      for (const auto& answer : line.at("answers")) {
        answers_.push(answer.get<std::string>());
      }
    } else if (line.contains("dump")) {
      dump(line.at("dump"));
    } else if (line.contains("files")) {
      applyFileChanges(programDirectory(), line.at("files"));
    } else if (line.contains("settings")) {
      stores_.applySettings(line.at("settings"));
    } else if (line.contains("registry")) {
      stores_.applyRegistry(line.at("registry"));
    } else {
      throw std::invalid_argument("unknown step " + line.dump());
    }
  }

  void finish() {
    played([this] { component_.reset(); });
  }
  void setLine(std::size_t line) { line_ = line; }

 private:
  std::filesystem::path programDirectory() const {
    return process_->programDirectory.empty() ? stores_.programDirectory()
                                              : process_->programDirectory;
  }

  // The object's creation and end may show message boxes too: on real windows the player
  // answers them and its watchdog covers the step, as during a call.
  template <class Step>
  void played(Step step) {
    if (!player_) {
      step();
      return;
    }
    player_->beginCall(json::array(), answers_, line_);
    step();
    player_->endCall();
  }

  void call(const json& line) {
    if (!component_) {
      throw ScriptStop("a call is made with no component object");
    }
    const auto name = line.at("call").get<std::string>();
    const auto resolve = [this](const std::string& objectName) -> DispatchPtr {
      return objectName == "$app" ? host_.application() : nullptr;
    };
    std::vector<Variant> args;
    for (const auto& arg : line.value("args", json::array())) {
      args.push_back(valueFromJson(arg, resolve));
    }
    if (player_) {
      player_->beginCall(line.value("ui", json::array()), answers_, line_);
    } else {
      ui_->beginCall(line.value("ui", json::array()));
    }
    json event{{"call", name}};
    try {
      const auto result = component_->invoke(fromUtf8(name), InvokeKind::Method, args);
      event["result"] = valueToJson(result);
      if (const auto* member = findMember(fromUtf8(name))) {
        json byref = json::object();
        for (std::size_t i = 0; i < member->parameters.size() && i < args.size(); ++i) {
          if (member->parameters[i].byReference) {
            byref[toUtf8(member->parameters[i].name)] = valueToJson(args[i]);
          }
        }
        if (!byref.empty()) {
          event["byref"] = std::move(byref);
        }
      }
    } catch (const RuntimeError& error) {
      event["error"] = {{"number", error.number()}, {"description", toUtf8(error.description())}};
    }
    player_ ? player_->endCall() : ui_->endCall();
    sink_.emit(std::move(event));
  }

  void dump(const json& what) {
    const auto name = what.get<std::string>();
    json value;
    if (name == "modelspace") {
      value = host_.dumpModelSpace();
    } else if (name == "sysvars") {
      value = host_.dumpSysvars();
    } else if (name == "lisp") {
      value = host_.dumpLisp();
    } else if (name == "host") {
      value = host_.dumpHost();
    } else if (name == "settings") {
      value = stores_.dump();
    } else if (name == "files") {
      value = describeFiles(programDirectory());
    } else if (player_ && (name == "forms" || name.starts_with("form:"))) {
      value = player_->dump(name);
    } else if (name == "forms") {
      value = ui_->dumpForms();
    } else if (name.starts_with("form:")) {
      value = ui_->dumpForm(fromUtf8(name.substr(5)));
    } else {
      throw std::invalid_argument("nothing to dump under the name " + name);
    }
    sink_.emit({{"dump", name}, {"value", std::move(value)}});
  }

  JsonLinesSink sink_;
  sim::SimHost host_;
  SessionStores stores_;
  script::AnswerQueue answers_;
  std::shared_ptr<sim::ScriptedUi> ui_;
  std::shared_ptr<ProcessContext> process_;
  std::function<DispatchPtr(std::shared_ptr<ProcessContext>)> createComponent_;
  std::shared_ptr<CallPlayer> player_;
  DispatchPtr component_;
  std::size_t line_ = 0;
};

bool skipped(const std::string& line) {
  const auto first = line.find_first_not_of(" \t\r");
  return first == std::string::npos || line[first] == '#';
}

}  // namespace

int runScript(std::istream& script, std::ostream& events, const SessionOptions& options) {
  JsonLinesSink errors(events);
  std::size_t lineNumber = 0;
  try {
    Session session(events, options);
    std::string line;
    while (std::getline(script, line)) {
      ++lineNumber;
      if (skipped(line)) {
        continue;
      }
      try {
        session.setLine(lineNumber);
        session.step(json::parse(line));
      } catch (const json::exception& error) {
        throw std::invalid_argument(error.what());
      }
    }
    session.finish();
    return 0;
  } catch (const std::exception& error) {
    const auto where = lineNumber > 0 ? "line " + std::to_string(lineNumber) + ": " : "";
    errors.emit({{"error", where + error.what()}});
    return 2;
  }
}

}  // namespace kvm::script
