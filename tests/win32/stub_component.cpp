// A component with known, simple members for testing the server's COM plumbing: argument
// conversion, by-reference arguments, results of exact types, errors and the desktop.
#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/win32/component_factory.h"

namespace kvm::win32 {

namespace {

class StubComponent final : public Dispatch {
 public:
  explicit StubComponent(std::shared_ptr<ProcessContext> process) : process_(std::move(process)) {}

  Variant invoke(std::u16string_view name, InvokeKind /*kind*/,
                 std::vector<Variant>& args) override {
    if (equalsIgnoringAsciiCase(name, u"kvmset")) {
      // lstLen doubled, lstAg grows by one element, pDing replaced.
      auto& lengths = args.at(3).arrayValue();
      for (auto& item : lengths.elements) {
        item = Variant(static_cast<int16_t>(toInteger(item) * 2));
      }
      args.at(4).arrayValue().elements.emplace_back(0.5);
      args.at(4).arrayValue().allocated = true;
      args.at(2) = Variant(u"done");
      std::u16string answer = u"c";
      answer += toString(args.at(1));
      return Variant(answer);
    }
    if (equalsIgnoringAsciiCase(name, u"mlfs2ed")) {
      const std::u16string text = toString(args.at(0));
      std::u16string changed = text;
      changed += u"!";
      args.at(0) = Variant(changed);
      return Variant(static_cast<int32_t>(text.size()));
    }
    if (equalsIgnoringAsciiCase(name, u"WSJM")) {
      // Echoes the arguments as they arrived, to show their converted types.
      return Variant::array(VarType::Variant, args);
    }
    if (equalsIgnoringAsciiCase(name, u"dh2fg")) {
      return Variant(u"1.2");
    }
    if (equalsIgnoringAsciiCase(name, u"sanxia")) {
      return Variant(static_cast<int16_t>(process_->ui->shiftDown() ? 1 : 0));
    }
    if (equalsIgnoringAsciiCase(name, u"chkLen")) {
      std::u16string description = u"stub failure ";
      description += toString(args.at(2));
      raise(err::kInvalidCall, description);
    }
    if (equalsIgnoringAsciiCase(name, u"WanShan")) {
      const MsgAnswer answer = process_->ui->messageBox(u"question", std::u16string(u"title"),
                                                        MsgIcon::Question, MsgButtons::YesNoCancel);
      return Variant(answer == MsgAnswer::Yes ? u"yes" : u"other");
    }
    if (equalsIgnoringAsciiCase(name, u"CadTB")) {
      // Calls back into the object it was given.
      return call(toObject(args.at(0)), u"Count");
    }
    return {};
  }

  [[nodiscard]] std::u16string typeName() const override { return u"clsKavelmor"; }

 private:
  std::shared_ptr<ProcessContext> process_;
};

}  // namespace

DispatchPtr createServerComponent(std::shared_ptr<ProcessContext> process) {
  return std::make_shared<StubComponent>(std::move(process));
}

}  // namespace kvm::win32
