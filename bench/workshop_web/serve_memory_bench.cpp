// `kavelmor serve` taking off plans of 100,000 and 1,000,000 LINEs uploaded to it: the growth of
// the server's peak resident memory (VmHWM) from before the upload to after the take-off, which
// must not follow the plan's size.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A plan of `count` LINEs on eight layers, none on another, each 4 to 6 m long.
fs::path writePlan(int count) {
  fs::path path =
      fs::temp_directory_path() /
      ("kavelmor-serve-bench-" + std::to_string(::getpid()) + "-" + std::to_string(count) + ".dxf");
  std::ofstream out(path, std::ios::binary);
  out << "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
  std::array<char, 256> text{};
  for (int i = 0; i < count; ++i) {
    const double x = (i % 500) * 7000.0;
    const int row = i / 500;  // 500 lines a row, a row 900 mm above the last
    const double y = row * 900.0;
    const int size = std::snprintf(text.data(), text.size(),
                                   "0\nLINE\n8\nBJ-%d\n10\n%.1f\n20\n%.1f\n11\n%.1f\n21\n%.1f\n",
                                   i % 8, x, y, x + 4000.0 + (i % 2000), y);
    out.write(text.data(), size);
  }
  out << "0\nENDSEC\n0\nEOF\n";
  return path;
}

long peakKiB(pid_t process) {
  std::ifstream status("/proc/" + std::to_string(process) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmHWM:")) {
      return std::stol(line.substr(6));
    }
  }
  throw std::runtime_error("no VmHWM for the server");
}

// `kavelmor serve --port 0` as a child, ended by SIGINT when this goes.
class ServeChild {
 public:
  ServeChild() {
    std::array<int, 2> pipeEnds{};
    if (::pipe(pipeEnds.data()) != 0) {
      throw std::runtime_error("no pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string program = KAVELMOR_PROGRAM;
    std::vector<std::string> words{program, "serve", "--port", "0", "--builtin"};
    std::vector<char*> arguments;
    arguments.reserve(words.size() + 1);
    for (auto& word : words) {
      arguments.push_back(word.data());
    }
    arguments.push_back(nullptr);
    const int spawned =
        posix_spawn(&pid_, program.c_str(), &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
      ::close(pipeEnds[0]);
      throw std::runtime_error("kavelmor could not be started");
    }
    std::string first;
    char c = 0;
    while (::read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
      first += c;
    }
    ::close(pipeEnds[0]);  // the server's later lines go nowhere; it writes none
    std::smatch found;
    static const std::regex address(R"(:(\d+)/\?token=([0-9a-f]+))");
    if (!std::regex_search(first, found, address)) {
      throw std::runtime_error("serve printed no address: " + first);
    }
    port_ = std::stoi(found[1]);
    token_ = found[2];
  }
  ServeChild(const ServeChild&) = delete;
  ServeChild& operator=(const ServeChild&) = delete;
  ServeChild(ServeChild&&) = delete;
  ServeChild& operator=(ServeChild&&) = delete;
  ~ServeChild() {
    ::kill(pid_, SIGINT);
    int ignored = 0;
    ::waitpid(pid_, &ignored, 0);
  }

  [[nodiscard]] pid_t pid() const { return pid_; }

  // Uploads `plan` as the page does, the body streamed from the file; the answer's size.
  std::size_t upload(const fs::path& plan) const {
    const int socketEnd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port_));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socketEnd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
      ::close(socketEnd);
      throw std::runtime_error("no connection to the server");
    }
    const std::string head =
        "POST /api/plan?name=plan.dxf HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port_) +
        "\r\nX-Kavelmor-Token: " + token_ +
        "\r\nContent-Length: " + std::to_string(fs::file_size(plan)) +
        "\r\nConnection: close\r\n\r\n";
    sendAll(socketEnd, head.data(), head.size());
    std::ifstream in(plan, std::ios::binary);
    std::vector<char> chunk(1 << 16);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
      sendAll(socketEnd, chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    std::string answer;
    for (ssize_t got = 0; (got = ::read(socketEnd, chunk.data(), chunk.size())) > 0;) {
      answer.append(chunk.data(), static_cast<std::size_t>(got));
    }
    ::close(socketEnd);
    if (!answer.starts_with("HTTP/1.1 200")) {
      throw std::runtime_error("the upload was refused: " + answer.substr(0, 300));
    }
    return answer.size();
  }

 private:
  static void sendAll(int socketEnd, const char* data, std::size_t size) {
    while (size > 0) {
      const ssize_t sent = ::send(socketEnd, data, size, MSG_NOSIGNAL);
      if (sent <= 0) {
        throw std::runtime_error("the server stopped reading the upload");
      }
      data += sent;
      size -= static_cast<std::size_t>(sent);
    }
  }

  pid_t pid_ = 0;
  int port_ = 0;
  std::string token_;
};

void BM_ServeTakeoffMemory(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const fs::path small = writePlan(1000);
  const fs::path plan = writePlan(lines);
  long growth = 0;
  long before = 0;
  std::size_t answer = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const ServeChild server;
    server.upload(small);  // the database and the reader's first allocations, not the plan's
    before = peakKiB(server.pid());
    state.ResumeTiming();
    answer = server.upload(plan);
    growth = peakKiB(server.pid()) - before;
  }
  state.counters["plan_MB"] = static_cast<double>(fs::file_size(plan)) / 1e6;
  state.counters["answer_MB"] = static_cast<double>(answer) / 1e6;
  state.counters["peak_before_MiB"] = static_cast<double>(before) / 1024;
  state.counters["peak_growth_MiB"] = static_cast<double>(growth) / 1024;
  fs::remove(small);
  fs::remove(plan);
}

BENCHMARK(BM_ServeTakeoffMemory)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
