#include "host/cls_kavelmor.h"

#include <filesystem>
#include <system_error>

#include "base/runtime_error.h"
#include "base/text.h"
#include "billtools/peiceng.h"
#include "billtools/wan_shan.h"
#include "cutting/length_check/chk_len.h"
#include "cutting/piece_splitting.h"
#include "host/argument_binding.h"
#include "host/component.h"
#include "session/lisp_bridge.h"
#include "settings/kvmset.h"
#include "storage/program_directory.h"

namespace kvm {

namespace {

// The component's version, read by the host through dh2fg.
constexpr std::u16string_view kVersion = u"1.2";

const std::u16string& text(const Variant& value) {
  return value.stringValue();
}
int16_t integer(const Variant& value) {
  return value.get<int16_t>();
}
uint8_t byte(const Variant& value) {
  return value.get<uint8_t>();
}

}  // namespace

DispatchPtr createComponent(std::shared_ptr<ProcessContext> process) {
  return std::make_shared<ClsKavelmor>(std::move(process));
}

ClsKavelmor::ClsKavelmor(std::shared_ptr<ProcessContext> process) : process_(std::move(process)) {
  create();
}

ClsKavelmor::~ClsKavelmor() {
  try {
    end();
  } catch (...) {  // NOLINT(bugprone-empty-catch): nothing may leave the object's end
  }
}

void ClsKavelmor::showError(const std::u16string& description) const {
  showErrorDescription(*process_->ui, description);
}

void ClsKavelmor::create() {
  try {
    process_->programDirectory = programDirectoryUnder(process_->programDirectoryRoot);
    std::error_code ignored;
    std::filesystem::create_directories(process_->programDirectory, ignored);
    if (!std::filesystem::is_directory(process_->programDirectory)) {
      raise(err::kPathFileAccess);
    }
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void ClsKavelmor::end() {
  try {
    if (functions_) {
      evaluate(std::u16string(kBridgeEndText));
      functions_.reset();
      vlApplication_.reset();
    }
    if (process_->hostDocument) {
      // A start-up that failed before reading them saved nothing: writing empty texts then
      // would lose the user's values.
      if (usersSaved_) {
        call(process_->hostDocument, u"SetVariable", {u"users1", savedUsers1_});
        call(process_->hostDocument, u"SetVariable", {u"users2", savedUsers2_});
      }
      process_->hostDocument.reset();
    }
    process_->hostApplication.reset();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

Variant ClsKavelmor::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  const auto index = memberIndex(name);
  if (!index) {
    raise(err::kMemberNotFound);
  }
  const auto& member = clsKavelmorMembers()[*index];
  if (kind == InvokeKind::PropertyPut) {
    raise(member.kind == MemberKind::ReadOnlyProperty ? err::kWrongArgumentCount
                                                      : err::kMemberNotFound);
  }
  auto bound = bindArguments(member, args);
  Variant result = dispatchMember(*index, bound);
  for (std::size_t i = 0; i < member.parameters.size(); ++i) {
    if (member.parameters[i].byReference) {
      args[i] = std::move(bound[i]);
    }
  }
  return result;
}

Variant ClsKavelmor::dispatchMember(std::size_t index, std::vector<Variant>& args) {
  const auto name = clsKavelmorMembers()[index].name;
  if (name == u"WSJM") return WSJM(args);
  if (name == u"mzbj0") return mzbj0(args);
  if (name == u"bjxn") return bjxn(args);
  if (name == u"Mode0LZ") return Mode0LZ(args);
  if (name == u"ModeLZ") return ModeLZ(args);
  if (name == u"qp1") return qp1(args);
  if (name == u"kvmset") return kvmset(*process_, kVersion, args);
  if (name == u"chkLen") return chkLen(*process_, args);
  if (name == u"peiceng") return peiceng(*process_, args);
  if (name == u"WanShan") return WanShan(*process_);
  if (name == u"yfgiu") return yfgiu(args);
  if (name == u"y2fgiu") return y2fgiu(args);
  if (name == u"dh2fg") return std::u16string(kVersion);
  if (name == u"sanxia") return sanxia();
  if (name == u"dycjmw") return dycjmw(args);
  if (name == u"mlfs2ed") return mlfs2ed(args);
  if (name == u"CadTB") return CadTB(args);
  raise(err::kMemberNotFound);
}

Variant ClsKavelmor::WSJM(const std::vector<Variant>& args) {
  try {
    const double x = toDouble(element(args[3], 0));
    const double y = toDouble(element(args[3], 1));
    bill_.start(x, y, integer(args[2]));
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
  return {};
}

Variant ClsKavelmor::mzbj0(const std::vector<Variant>& args) {
  try {
    cutting_ = {integer(args[1]), integer(args[2]), integer(args[3])};
    lines_.clear();
    const auto origin = bill_.origin();
    const auto offset = blockOffset(integer(args[0]));
    return pointVariant({origin.x + 100 + offset.x, origin.y - 1890 + offset.y, 0});
  } catch (const RuntimeError&) {
    return {};
  }
}

Variant ClsKavelmor::bjxn(const std::vector<Variant>& args) {
  lines_.add(args[1], args[2]);
  return {};
}

Variant ClsKavelmor::Mode0LZ(const std::vector<Variant>& args) {
  try {
    return splitEqualPieces(cutting_, args[0], byte(args[1]));
  } catch (const RuntimeError&) {
    return unsplitPair();
  }
}

Variant ClsKavelmor::ModeLZ(const std::vector<Variant>& args) {
  try {
    return splitByMode(cutting_, args[0], args[1].get<double>(), byte(args[2]));
  } catch (const RuntimeError&) {
    return unsplitPair();
  }
}

Variant ClsKavelmor::qp1(const std::vector<Variant>& args) {
  try {
    bill_.startBlock(integer(args[0]));
    return lines_.toVariant();
  } catch (const RuntimeError& error) {
    showError(error.description());
    return {};
  }
}

Variant ClsKavelmor::yfgiu(const std::vector<Variant>& args) {
  try {
    bill_.writeCountRow(process_->modelSpace, text(args[0]), text(args[1]));
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
  return {};
}

Variant ClsKavelmor::y2fgiu(const std::vector<Variant>& args) {
  try {
    bill_.writeTotals(process_->modelSpace, text(args[0]), text(args[1]), integer(args[2]));
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
  return int16_t{0};
}

Variant ClsKavelmor::sanxia() {
  return static_cast<int16_t>(process_->ui->shiftDown() ? 1 : 0);
}

Variant ClsKavelmor::dycjmw(const std::vector<Variant>& args) {
  try {
    auto& process = *process_;
    process.hostApplication = args[0].objectValue();
    process.hostDocument = getObject(process.hostApplication, u"ActiveDocument");
    process.modelSpace = getObject(process.hostDocument, u"ModelSpace");

    const auto version = toString(get(process.hostApplication, u"Version"));
    vlApplication_ = requireObject(
        call(process.hostApplication, u"GetInterfaceObject", {visualLispProgramId(version)}));
    functions_ = getObject(getObject(vlApplication_, u"ActiveDocument"), u"Functions");

    bill_.resetBlockIndex();

    // A second start-up finds the bridge texts of the first: those are not the user's.
    auto users1 = toString(call(process.hostDocument, u"GetVariable", {u"users1"}));
    auto users2 = toString(call(process.hostDocument, u"GetVariable", {u"users2"}));
    if (!bridgeWritten_ || users1 != kUsers1Text || users2 != kUsers2Text) {
      savedUsers1_ = std::move(users1);
      savedUsers2_ = std::move(users2);
    }
    usersSaved_ = true;
    bridgeWritten_ = true;
    call(process.hostDocument, u"SetVariable", {u"users1", std::u16string(kUsers1Text)});
    call(process.hostDocument, u"SetVariable", {u"users2", std::u16string(kUsers2Text)});
    evaluate(std::u16string(kBridgeStartText));
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
  return std::u16string();
}

Variant ClsKavelmor::evaluate(const std::u16string& lispText) {
  return evaluateLisp(functions_, lispText, *process_->ui);
}

Variant ClsKavelmor::mlfs2ed(const std::vector<Variant>& args) {
  return evaluate(text(args[0]));
}

Variant ClsKavelmor::CadTB(const std::vector<Variant>& args) {
  const auto& application = args[0].objectValue();
  const auto documents = getObject(application, u"Documents");
  const int16_t last = toInteger(Variant(toLong(get(documents, u"Count")) - 1));
  if (last > 0) {
    const auto document = getObject(documents, u"Item", {last});
    const auto name = toString(get(document, u"name"));
    const auto mainWindow = static_cast<std::intptr_t>(toLong(get(application, u"hwnd")));
    if (process_->ui->topLevelWindowAfter(mainWindow, name)) {
      return int16_t{1};
    }
  }
  return int16_t{0};
}

}  // namespace kvm
