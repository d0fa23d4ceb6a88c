#include "apps/kavelmor/serve/serve_command.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <memory>
#include <thread>

#include "apps/kavelmor/takeoff/takeoff_report.h"
#include "platform/cairo/cairo_render.h"
#include "platform/workshop/web/web_server.h"

namespace kvm::cli {

namespace {

struct ServeRequest {
  workshop::web::ServerOptions server;
  bool open = false;
};

// Hands the address to the desktop's browser; the page works all the same when there is none.
void openInBrowser(const std::string& address, std::ostream& errors) {
  const std::string program = "xdg-open";
  std::vector<char*> arguments{const_cast<char*>(program.c_str()),
                               const_cast<char*>(address.c_str()), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, arguments.data(), environ) != 0) {
    errors << "kavelmor serve: no browser could be opened (xdg-open); open the address above\n";
    return;
  }
  // xdg-open returns once the browser has been asked; its status is not the page's concern.
  int ignored = 0;
  waitpid(child, &ignored, 0);
}

int runServe(ServeRequest request, std::ostream& out, std::ostream& errors) {
  request.server.takeoffJson = [](const dxf::PlanTakeoff& takeoff) { return takeoffJson(takeoff); };
  // Ctrl-C and SIGTERM end the server in order, its session folders removed: the signals are
  // taken by one thread that waits for them, not by a handler.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &signals, &previous);
  int status = 0;
  try {
    workshop::web::WebServer server(std::move(request.server));
    server.bind();
    out << "The workshop page: " << server.address() << "\n(Ctrl-C ends it)" << std::endl;
    if (request.open) {
      openInBrowser(server.address(), errors);
    }
    std::jthread waiter([&server, &signals](const std::stop_token& done) {
      constexpr timespec kPoll{0, 200'000'000};
      while (!done.stop_requested()) {
        if (sigtimedwait(&signals, nullptr, &kPoll) > 0) {
          server.stop();
          return;
        }
      }
    });
    server.run();
  } catch (const std::exception& error) {
    errors << "kavelmor serve: " << error.what() << '\n';
    status = 1;
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return status;
}

}  // namespace

void addServeCommand(CLI::App& app, int& status) {
  auto request = std::make_shared<ServeRequest>();
  auto* command = app.add_subcommand(
      "serve",
      "The workshop page: open a plan, map its layers to flashings and make the bill "
      "in a browser on this machine");
  command->add_option("--port", request->server.port, "The port (0: any free one)")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  command
      ->add_option("--host", request->server.host,
                   "The address to listen on (0.0.0.0: the workshop's network too)")
      ->capture_default_str();
  command->add_flag("--open", request->open, "Open the page in the default browser");
  command
      ->add_option_function<int>(
          "--session-lifetime",
          [request](int seconds) {
            request->server.sessionLifetime = std::chrono::seconds{seconds};
          },
          "How long a plan's files left alone stay on the server, in seconds (default 3600); a "
          "bill's go as soon as its zip has been fetched")
      ->check(CLI::Range(1, 7 * 24 * 3600));
  auto* db = command->add_option("--db", request->server.database.file,
                                 "Make the bills from this database file (default: the one "
                                 "`kavelmor db` acts on)");
  command
      ->add_flag("--builtin", request->server.database.builtin,
                 "Make the bills from the built-in database")
      ->excludes(db);
  command->callback([request, &status] {
    status = runServe(*request, std::cout, std::cerr);
    cairo::releaseFontCaches();
  });
}

}  // namespace kvm::cli
