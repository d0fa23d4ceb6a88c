// Plays one host script twice, in-process with the Linux command line and through COM with
// the Windows one under wine, where the dialogs and message boxes are real windows played by
// the runner, and compares the two event streams as parsed JSON. Exits 0 when they are the
// same, 1 listing every difference, 77 (skipped) for a script that cannot be played on real
// windows (the reason is printed).
//
//   com_events_compare --script FILE --linux KAVELMOR --wine WINE --windows KAVELMOR_EXE
//                      --work FOLDER [--display-file FILE]
//
// --display-file names the file where the screen's fixture wrote ":N PID"; wine shows its
// windows on display :N. "none" runs it without a screen.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kSkipped = 77;

struct Run {
  std::string output;
  int status = -1;
};

// Runs the program with the arguments and this process's environment; standard error passes
// through to the test's log.
Run capture(const std::vector<std::string>& arguments) {
  std::array<int, 2> pipeEnds{};
  if (pipe(pipeEnds.data()) != 0) {
    throw std::runtime_error("cannot make a pipe");
  }
  posix_spawn_file_actions_t actions{};
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  std::vector<char*> argv;
  for (const auto& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));  // NOLINT: posix_spawn's signature
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned =
      posix_spawn(&child, arguments.front().c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned != 0) {
    close(pipeEnds[0]);
    throw std::runtime_error("cannot start " + arguments.front());
  }
  Run run;
  std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t count = read(pipeEnds[0], buffer.data(), buffer.size());
    if (count <= 0) {
      break;
    }
    run.output.append(buffer.data(), static_cast<std::size_t>(count));
  }
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Each line as JSON; a line that is not JSON stays as its text so that it shows as a difference.
std::vector<json> events(const std::string& output) {
  std::vector<json> lines;
  std::istringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) {
      continue;
    }
    try {
      lines.push_back(json::parse(line));
    } catch (const json::exception&) {
      lines.emplace_back("not JSON: " + line);
    }
  }
  return lines;
}

// Scripts whose events through real windows cannot be the in-process ones, and why.
const std::map<std::string, std::string>& unplayable() {
  static const std::map<std::string, std::string> kScripts{};
  return kScripts;
}

std::string unplayableReason(const fs::path& script) {
  const std::string path = script.generic_string();
  for (const auto& [name, reason] : unplayable()) {
    if (path.ends_with("/" + name)) {
      return reason;
    }
  }
  return {};
}

// Points wine at the screen the fixture started.
void useDisplay(const fs::path& stateFile) {
  std::ifstream state(stateFile);
  std::string display;
  if (!(state >> display) || !display.starts_with(":")) {
    throw std::runtime_error("no screen: " + stateFile.string() + " names no display");
  }
  setenv("DISPLAY", display.c_str(), 1);
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The session folders differ between the runs and between the platforms: every string names
// them "$HOME", and the program directory "$HOME/QORNCAD" with its files after a "/".
json normalised(const json& value, const std::vector<std::pair<std::string, std::string>>& names) {
  if (value.is_string()) {
    auto text = value.get<std::string>();
    for (const auto& [from, to] : names) {
      replaceAll(text, from, to);
    }
    return text;
  }
  if (value.is_structured()) {
    json out = value;
    for (auto& element : out) {
      element = normalised(element, names);
    }
    return out;
  }
  return value;
}

std::vector<json> normalised(const std::vector<json>& stream,
                             const std::vector<std::pair<std::string, std::string>>& names) {
  std::vector<json> out;
  out.reserve(stream.size());
  for (const auto& event : stream) {
    out.push_back(normalised(event, names));
  }
  return out;
}

// Z: is the root of the build machine's file system in every wine prefix.
std::string windowsPath(const fs::path& path) {
  auto text = "Z:" + fs::absolute(path).lexically_normal().string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

std::map<std::string, std::string> parseArguments(int argc, char** argv) {
  std::map<std::string, std::string> options;
  const std::vector<std::string> words(argv + 1, argv + argc);
  for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
    options[words[i]] = words[i + 1];
  }
  for (const char* required : {"--script", "--linux", "--wine", "--windows", "--work"}) {
    if (!options.contains(required)) {
      throw std::invalid_argument(std::string("missing ") + required);
    }
  }
  return options;
}

int compare(const std::map<std::string, std::string>& options) {
  const fs::path script = fs::absolute(options.at("--script"));
  const fs::path work = fs::absolute(options.at("--work"));
  const fs::path linuxHome = work / "linux";
  const fs::path windowsHome = work / "windows";
  fs::remove_all(work);
  fs::create_directories(linuxHome);
  fs::create_directories(windowsHome);

  const Run local =
      capture({options.at("--linux"), "script", "--home", linuxHome.string(), script.string()});
  const auto localEvents = normalised(events(local.output), {{linuxHome.string(), "$HOME"}});
  if (const auto reason = unplayableReason(script); !reason.empty()) {
    std::cout << "skipped: " << reason << '\n';
    return kSkipped;
  }
  if (options.contains("--display-file")) {
    if (options.at("--display-file") == "none") {
      unsetenv("DISPLAY");
    } else {
      useDisplay(options.at("--display-file"));
    }
  }

  const std::string home = windowsPath(windowsHome);
  const Run com = capture({options.at("--wine"), options.at("--windows"), "script", "--com",
                           "--home", home, windowsPath(script)});
  const auto comEvents = normalised(events(com.output), {{home + "\\QORNCAD\\", "$HOME/QORNCAD/"},
                                                         {home + "\\QORNCAD", "$HOME/QORNCAD"},
                                                         {home, "$HOME"}});

  int differences = 0;
  if (local.status != com.status) {
    std::cout << "exit status: in-process " << local.status << ", through COM " << com.status
              << '\n';
    ++differences;
  }
  for (std::size_t i = 0; i < std::max(localEvents.size(), comEvents.size()); ++i) {
    const bool same =
        i < localEvents.size() && i < comEvents.size() && localEvents[i] == comEvents[i];
    if (!same) {
      std::cout << "event " << i + 1 << " differs\n  in-process:  "
                << (i < localEvents.size() ? localEvents[i].dump() : "(nothing)")
                << "\n  through COM: " << (i < comEvents.size() ? comEvents[i].dump() : "(nothing)")
                << '\n';
      ++differences;
    }
  }
  if (differences > 0) {
    std::cout << differences << " difference(s) in " << script.string() << '\n';
    return 1;
  }
  std::cout << localEvents.size() << " events, the same through COM\n";
  fs::remove_all(work);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return compare(parseArguments(argc, argv));
  } catch (const std::exception& error) {
    std::cerr << "com_events_compare: " << error.what() << '\n';
    return 2;
  }
}
