#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace kvm::testing {

// Whether the session opens and closes dialogs. Through COM a dialog is a real window that
// only a player of real windows can close.
enum class SessionDialogs : bool { LeftOut, Shown };

// Whether the day starts with the bill of 676 flashings and the flashing of 8192 lines.
enum class SessionBill : bool { LeftOut, Drawn };

// A host script of a long working day: start-up, a bill of 676 flashings, one flashing of
// 8192 lines, and then every method in turn (dialogs opened and closed) until `calls` calls
// have been made; the end releases the object.
std::string longSessionScript(std::size_t calls, SessionDialogs dialogs = SessionDialogs::Shown,
                              SessionBill bill = SessionBill::Drawn);

// The events of a long session as they are printed, kept only as counts: 100,000 events held
// in memory would hide what the session itself holds. Every `every` finished calls it calls
// `checkpoint` with the number of calls so far.
class SessionEvents final : public std::streambuf {
 public:
  SessionEvents(std::size_t every, std::function<void(std::size_t calls)> checkpoint);

  [[nodiscard]] std::size_t calls() const noexcept { return calls_; }
  // Lines naming an error (a failed call or a stopped script), the first few of them.
  [[nodiscard]] const std::vector<std::string>& errors() const noexcept { return errors_; }
  [[nodiscard]] std::size_t errorCount() const noexcept { return errorCount_; }
  // The last line printed: a stopped script names its reason there.
  [[nodiscard]] const std::string& lastLine() const noexcept { return lastLine_; }

 protected:
  int_type overflow(int_type character) override;

 private:
  void endLine();

  std::size_t every_;
  std::function<void(std::size_t)> checkpoint_;
  std::string line_;
  std::string lastLine_;
  std::size_t calls_ = 0;
  std::size_t errorCount_ = 0;
  std::vector<std::string> errors_;
};

}  // namespace kvm::testing
