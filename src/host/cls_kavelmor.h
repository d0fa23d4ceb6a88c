#pragma once

#include <memory>
#include <string>

#include "bill/bill_output.h"
#include "cutting/cutting_attributes.h"
#include "cutting/line_segments.h"
#include "dispatch/dispatch.h"
#include "host/interface.h"
#include "session/process.h"

namespace kvm {

// The public component object. Each member is a thin entry: it converts its arguments, runs the
// work of its subsystem and reports failures by the member's own convention (a message box, a
// silent result, or an error back to the host).
class ClsKavelmor final : public Dispatch {
 public:
  explicit ClsKavelmor(std::shared_ptr<ProcessContext> process);
  ClsKavelmor(const ClsKavelmor&) = delete;
  ClsKavelmor& operator=(const ClsKavelmor&) = delete;
  ClsKavelmor(ClsKavelmor&&) = delete;
  ClsKavelmor& operator=(ClsKavelmor&&) = delete;
  ~ClsKavelmor() override;  // the object's end

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"clsKavelmor"; }

 private:
  Variant dispatchMember(std::size_t index, std::vector<Variant>& args);

  Variant WSJM(const std::vector<Variant>& args);
  Variant mzbj0(const std::vector<Variant>& args);
  Variant bjxn(const std::vector<Variant>& args);
  Variant Mode0LZ(const std::vector<Variant>& args);
  Variant ModeLZ(const std::vector<Variant>& args);
  Variant qp1(const std::vector<Variant>& args);
  Variant yfgiu(const std::vector<Variant>& args);
  Variant y2fgiu(const std::vector<Variant>& args);
  Variant sanxia();
  Variant dycjmw(const std::vector<Variant>& args);
  Variant mlfs2ed(const std::vector<Variant>& args);
  Variant CadTB(const std::vector<Variant>& args);

  void create();
  void end();
  void showError(const std::u16string& description) const;
  Variant evaluate(const std::u16string& text);

  std::shared_ptr<ProcessContext> process_;
  DispatchPtr vlApplication_;
  DispatchPtr functions_;
  std::u16string savedUsers1_;
  std::u16string savedUsers2_;
  bool usersSaved_ = false;
  bool bridgeWritten_ = false;  // by an earlier start-up of this object
  CuttingAttributes cutting_;
  LineSegments lines_;
  BillOutput bill_;
};

}  // namespace kvm
