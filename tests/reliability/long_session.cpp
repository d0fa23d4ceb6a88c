#include "tests/reliability/long_session.h"

#include <array>
#include <string_view>
#include <utility>

namespace kvm::testing {

namespace {

class ScriptWriter {
 public:
  void line(std::string_view text) {
    script_ += text;
    script_ += '\n';
  }
  void call(std::string_view name, std::string_view args, std::string_view ui = {}) {
    script_ += R"({"call": ")";
    script_ += name;
    script_ += R"(", "args": [)";
    script_ += args;
    script_ += ']';
    if (!ui.empty()) {
      script_ += R"(, "ui": [)";
      script_ += ui;
      script_ += ']';
    }
    script_ += "}\n";
    ++calls_;
  }
  [[nodiscard]] std::size_t calls() const noexcept { return calls_; }
  std::string take() { return std::move(script_); }

 private:
  std::string script_;
  std::size_t calls_ = 0;
};

std::string number(std::size_t value) {
  return std::to_string(value);
}

// One block of the bill: the flashing opened, its lines, the block, its pieces, its rows.
void billBlock(ScriptWriter& out, std::size_t id, std::size_t lines) {
  const std::string ids = number(id);
  out.call("mzbj0", ids + ", 4000, 100, 100");
  for (std::size_t i = 0; i < lines; ++i) {
    const std::string y = number(i * 10);
    out.call("bjxn", ids + ", [0, " + y + "], [" + number(3000 + (i % 7) * 1000) + ", " + y + "]");
  }
  out.call("qp1", ids);
  out.call("Mode0LZ", "[5000, 5000, 5000], 1, " + ids);
  out.call("ModeLZ", "[7300, 2100], 300, " + number(id % 3) + ", " + ids);
  out.call("yfgiu", R"("2600", "6", )" + ids);
  out.call("y2fgiu", R"("12.5", "40.2", )" + ids);
}

}  // namespace

std::string longSessionScript(std::size_t calls, SessionDialogs dialogs, SessionBill bill) {
  ScriptWriter out;
  out.line(R"({"host": {"today": "2016-03-02", "documents": ["Drawing1.dwg", "Drawing2.dwg"]}})");
  out.line(R"({"create": true})");
  out.call("dycjmw", R"("$app", 0, 0)");
  out.call("WSJM", R"("JM", "S0", 300, [0, 0, 0], 0)");
  if (bill == SessionBill::Drawn) {
    constexpr std::size_t kBillFlashings = 676;
    for (std::size_t id = 0; id < kBillFlashings; ++id) {
      billBlock(out, id % 32767, 2);
    }
    billBlock(out, kBillFlashings, 8192);
  }

  // The rest of the day: every method in turn, the dialogs among them closed by the user.
  static constexpr std::array<std::array<std::string_view, 3>, 13> kRound{{
      {"mzbj0", "0, 4000, 100, 100", ""},  // first: the list still holds 8192 lines
      {"mlfs2ed", R"x("(+ 1 2)")x", ""},
      {"dh2fg", "", ""},
      {"sanxia", "", ""},
      {"CadTB", R"("$app")", ""},
      {"Mode0LZ", "[5000, 4200], 0, 0", ""},
      {"ModeLZ", "[12000], 250, 2, 0", ""},
      {"bjxn", "0, [0, 0], [5000, 0]", ""},
      {"qp1", "0", ""},
      {"chkLen", R"(5100, 500, "1:10")", R"(["click", "cdmFanHui"])"},
      {"WanShan", "", R"(["click", "cmdCancel"])"},
      {"peiceng",
       R"x(["屋脊包角", "4000", "100", "天蓝色", "100", "1", "500", "1"], 0,)x"
       R"x( ["示例工程", "0.5", "100", "350", "2016/3/2"], 0)x",
       R"(["close"])"},
      {"kvmset", R"("$app", "", null, [], [], null, null)", R"(["close"])"},
  }};
  const bool shown = dialogs == SessionDialogs::Shown;
  if (shown) {
    // The first close of the settings dialog asks to save the database it created; the
    // answer saves it, so later closes ask nothing.
    out.call("kvmset", R"("$app", "", null, [], [], null, null)",
             R"(["answer", "yes"], ["close"])");
  }
  for (std::size_t turn = 0; out.calls() < calls; ++turn) {
    const auto& [name, args, ui] = kRound.at(turn % kRound.size());
    if (shown || ui.empty()) {
      out.call(name, args, ui);
    }
  }
  out.line(R"({"release": true})");
  return out.take();
}

SessionEvents::SessionEvents(std::size_t every, std::function<void(std::size_t)> checkpoint)
    : every_(every), checkpoint_(std::move(checkpoint)) {}

SessionEvents::int_type SessionEvents::overflow(int_type character) {
  if (traits_type::eq_int_type(character, traits_type::eof())) {
    return traits_type::not_eof(character);
  }
  const char text = traits_type::to_char_type(character);
  if (text == '\n') {
    endLine();
  } else {
    line_ += text;
  }
  return character;
}

void SessionEvents::endLine() {
  constexpr std::size_t kKeptErrors = 5;
  if (line_.find(R"("error")") != std::string::npos) {
    ++errorCount_;
    if (errors_.size() < kKeptErrors) {
      errors_.push_back(line_);
    }
  }
  if (line_.find(R"("call":)") != std::string::npos) {
    ++calls_;
    if (every_ != 0 && calls_ % every_ == 0 && checkpoint_) {
      checkpoint_(calls_);
    }
  }
  lastLine_.swap(line_);
  line_.clear();
}

}  // namespace kvm::testing
