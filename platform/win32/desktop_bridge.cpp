#include "platform/win32/desktop_bridge.h"

#include <cmath>

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm::win32 {

namespace {

const Variant& argument(const std::vector<Variant>& args, std::size_t index) {
  if (index >= args.size()) {
    raise(err::kArgumentNotOptional);
  }
  return args[index];
}

template <class Enum>
Enum enumFrom(const Variant& value, Enum last) {
  const int16_t position = toInteger(value);
  if (position < 0 || position > static_cast<int16_t>(last)) {
    raise(err::kInvalidCall);
  }
  return static_cast<Enum>(position);
}

class DesktopDispatch final : public Dispatch {
 public:
  DesktopDispatch(std::shared_ptr<Ui> desktop, DialogReports reports)
      : desktop_(std::move(desktop)), reports_(std::move(reports)) {}

  Variant invoke(std::u16string_view name, InvokeKind /*kind*/,
                 std::vector<Variant>& args) override {
    if (equalsIgnoringAsciiCase(name, u"MessageBox")) {
      const Variant& title = argument(args, 1);
      const std::optional<std::u16string> caption =
          title.isEmpty() ? std::nullopt : std::optional<std::u16string>(toString(title));
      const MsgAnswer answer = desktop_->messageBox(
          toString(argument(args, 0)), caption, enumFrom(argument(args, 2), MsgIcon::Critical),
          enumFrom(argument(args, 3), MsgButtons::YesNoCancel));
      return static_cast<int16_t>(answer);
    }
    if (equalsIgnoringAsciiCase(name, u"ShiftDown")) {
      return desktop_->shiftDown();
    }
    if (equalsIgnoringAsciiCase(name, u"TopLevelWindowAfter")) {
      const double after = toDouble(argument(args, 0));
      return desktop_->topLevelWindowAfter(static_cast<std::intptr_t>(std::llround(after)),
                                           toString(argument(args, 1)));
    }
    if (equalsIgnoringAsciiCase(name, u"Today")) {
      const CalendarDate date = desktop_->today();
      return Variant::array(VarType::Long, {Variant(static_cast<int32_t>(date.year)),
                                            Variant(static_cast<int32_t>(date.month)),
                                            Variant(static_cast<int32_t>(date.day))});
    }
    if (equalsIgnoringAsciiCase(name, u"ScreenSize")) {
      const ScreenSize size = desktop_->screenSize();
      return Variant::array(VarType::Long, {Variant(size.width), Variant(size.height)});
    }
    if (equalsIgnoringAsciiCase(name, u"ActivateWindow")) {
      desktop_->activateWindow(toString(argument(args, 0)));
      return {};
    }
    if (equalsIgnoringAsciiCase(name, u"FormEvent")) {
      if (reports_.formEvent) {
        reports_.formEvent(toString(argument(args, 0)), toString(argument(args, 1)),
                           toString(argument(args, 2)));
      }
      return {};
    }
    if (equalsIgnoringAsciiCase(name, u"OwnerWindow")) {
      return static_cast<double>(reports_.ownerWindow ? reports_.ownerWindow() : 0);
    }
    raise(err::kMemberNotFound);
  }

  [[nodiscard]] std::u16string typeName() const override { return u"Desktop"; }

 private:
  std::shared_ptr<Ui> desktop_;
  DialogReports reports_;
};

class DispatchDesktop final : public Ui {
 public:
  explicit DispatchDesktop(DispatchPtr desktop) : desktop_(std::move(desktop)) {}

  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons buttons) override {
    const Variant answer =
        call(desktop_, u"MessageBox",
             {Variant(std::u16string(text)), title ? Variant(*title) : Variant(),
              Variant(static_cast<int16_t>(icon)), Variant(static_cast<int16_t>(buttons))});
    return enumFrom(answer, MsgAnswer::No);
  }

  bool shiftDown() override { return toBoolean(call(desktop_, u"ShiftDown")); }

  bool topLevelWindowAfter(std::intptr_t afterWindow, std::u16string_view title) override {
    return toBoolean(
        call(desktop_, u"TopLevelWindowAfter",
             {Variant(static_cast<double>(afterWindow)), Variant(std::u16string(title))}));
  }

  CalendarDate today() override {
    const Variant date = call(desktop_, u"Today");
    return {toLong(element(date, 0)), toLong(element(date, 1)), toLong(element(date, 2))};
  }

  ScreenSize screenSize() override {
    const Variant size = call(desktop_, u"ScreenSize");
    return {toLong(element(size, 0)), toLong(element(size, 1))};
  }

  void activateWindow(std::u16string_view title) override {
    call(desktop_, u"ActivateWindow", {Variant(std::u16string(title))});
  }

 private:
  DispatchPtr desktop_;
};

}  // namespace

DispatchPtr desktopAsDispatch(std::shared_ptr<Ui> desktop, DialogReports reports) {
  return std::make_shared<DesktopDispatch>(std::move(desktop), std::move(reports));
}

std::shared_ptr<Ui> desktopFromDispatch(DispatchPtr desktop) {
  return std::make_shared<DispatchDesktop>(std::move(desktop));
}

}  // namespace kvm::win32
