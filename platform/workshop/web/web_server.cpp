#include "platform/workshop/web/web_server.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <stdexcept>
#include <stop_token>
#include <thread>
#include <utility>

#include "platform/workshop/project/located_error.h"
#include "platform/workshop/web/access_guard.h"
#include "platform/workshop/web/bill_run.h"
#include "platform/workshop/web/output_files.h"
#include "platform/workshop/web/output_zip.h"
#include "platform/workshop/web/page_assets.h"
#include "platform/workshop/web/project_opening.h"
#include "platform/workshop/web/web_sessions.h"

namespace kvm::workshop::web {

namespace {

constexpr int kBadRequest = 400;
constexpr int kForbidden = 403;
constexpr int kNotFound = 404;
constexpr int kConflict = 409;
constexpr int kTooLarge = 413;
constexpr int kUnprocessable = 422;
constexpr int kServerError = 500;

void sendJson(httplib::Response& response, const nlohmann::ordered_json& body, int status = 200) {
  response.status = status;
  response.set_content(body.dump(), "application/json");
}

void sendError(httplib::Response& response, int status, const std::string& message) {
  sendJson(response, {{"error", message}}, status);
}

bool isUnits(const std::string& units) {
  return units.empty() || units == "mm" || units == "cm" || units == "m" || units == "in" ||
         units == "ft";
}

std::string parameter(const httplib::Request& request, const char* name) {
  return request.has_param(name) ? request.get_param_value(name) : std::string{};
}

// What a browser is told about every answer: nothing cached, nothing framed, nothing fetched
// from elsewhere, and the token in the first address never passed on.
void secureHeaders(httplib::Response& response) {
  response.set_header("Cache-Control", "no-store");
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_header("Referrer-Policy", "no-referrer");
  response.set_header("X-Frame-Options", "DENY");
  response.set_header("Content-Security-Policy",
                      "default-src 'self'; img-src 'self' data:; style-src 'self' "
                      "'unsafe-inline'; frame-ancestors 'none'");
}

struct Stopped : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace

struct WebServer::State {
  explicit State(ServerOptions given)
      : options(std::move(given)), token(freshToken()), sessions(options.sessionLifetime) {}

  ServerOptions options;
  std::string token;
  BoundAddress bound;
  WebSessions sessions;
  httplib::Server server;
  std::atomic<bool> stopping{false};
  std::mutex sweepMutex;
  std::condition_variable_any sweepWake;
  // Last: it starts when the rest is there and is stopped before any of it goes.
  std::jthread sweeper{[this](const std::stop_token& stop) { sweep(stop); }};

  // A session left alone goes after its lifetime even when no request comes to notice it.
  void sweep(const std::stop_token& stop) {
    const auto interval =
        std::clamp(options.sessionLifetime / 4, std::chrono::seconds{1}, std::chrono::seconds{60});
    std::unique_lock lock(sweepMutex);
    while (!stop.stop_requested()) {
      sweepWake.wait_for(lock, stop, interval, [] { return false; });
      if (!stop.stop_requested()) {
        sessions.expire();
      }
    }
  }

  // Host, Origin and token, before anything is read or done.
  httplib::Server::HandlerResponse guard(const httplib::Request& request,
                                         httplib::Response& response) {
    secureHeaders(response);
    const std::string host = request.get_header_value("Host");
    if (!hostAllowed(host, bound)) {
      response.set_header("Connection", "close");
      sendError(response, kForbidden, "this server does not answer to that host name");
      return httplib::Server::HandlerResponse::Handled;
    }
    if (!originAllowed(request.method, request.get_header_value("Origin"), host)) {
      response.set_header("Connection", "close");
      sendError(response, kForbidden, "only the workshop page itself may ask for that");
      return httplib::Server::HandlerResponse::Handled;
    }
    const std::string given =
        request.has_header(std::string(kTokenHeader).c_str())
            ? request.get_header_value(std::string(kTokenHeader).c_str())
            : cookieValue(request.get_header_value("Cookie"), kTokenCookie).value_or("");
    if (sameToken(given, token)) {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    // The first visit brings the token in the address; the page keeps it in a cookie, and
    // the address without it is what stays in the browser's history.
    if (request.method == "GET" && request.path == "/" &&
        sameToken(parameter(request, "token"), token)) {
      response.set_header("Set-Cookie", tokenCookie(token));
      response.set_redirect("/", 303);
      return httplib::Server::HandlerResponse::Handled;
    }
    response.set_header("Connection", "close");
    sendError(response, kForbidden,
              "open the address with the access token that `kavelmor serve` printed");
    return httplib::Server::HandlerResponse::Handled;
  }

  void checkpoint(std::chrono::steady_clock::time_point started) const {
    if (stopping) {
      throw Stopped("the server is stopping");
    }
    if (std::chrono::steady_clock::now() - started > options.jobTimeLimit) {
      throw Stopped("the bill took longer than the server allows a job");
    }
  }

  std::shared_ptr<WebSession> session(const httplib::Request& request,
                                      httplib::Response& response) {
    sessions.expire();
    auto found = sessions.find(request.matches[1].str());
    if (!found) {
      sendError(response, kNotFound, "this plan is no longer open here: drop it again");
    }
    return found;
  }

  void servePage(const httplib::Request& request, httplib::Response& response) const {
    const std::optional<PageAsset> asset = pageAsset(request.path);
    if (!asset) {
      sendError(response, kNotFound, "no such page");
      return;
    }
    response.set_content(std::string(asset->bytes), std::string(asset->mediaType));
  }

  void uploadPlan(const httplib::Request& request, httplib::Response& response,
                  const httplib::ContentReader& reader) {
    sessions.expire();
    const std::string units = parameter(request, "units");
    if (!isUnits(units)) {
      sendError(response, kBadRequest, "units must be mm, cm, m, in or ft");
      return;
    }
    std::string name = parameter(request, "name");
    if (name.empty()) {
      name = "plan.dxf";
    }
    std::shared_ptr<WebSession> session = sessions.create();
    session->planName = name;
    std::size_t received = 0;
    bool tooLarge = false;
    bool written = true;
    bool complete = false;
    {
      std::ofstream file(session->plan, std::ios::binary);
      written = static_cast<bool>(file);
      complete = reader([&](const char* data, std::size_t length) {
        received += length;
        if (received > options.maxUpload) {
          tooLarge = true;
          return false;
        }
        file.write(data, static_cast<std::streamsize>(length));
        written = written && static_cast<bool>(file);
        return written && !stopping;
      });
      file.close();
      written = written && static_cast<bool>(file);
    }
    if (tooLarge || !written || !complete || stopping) {
      // A plan that did not arrive whole leaves nothing behind.
      sessions.remove(session->id);
      if (tooLarge) {
        sendError(response, kTooLarge,
                  name + ": larger than the " + std::to_string(options.maxUpload >> 20U) +
                      " MB a plan may have here");
      } else {
        sendError(response, kServerError, name + ": the plan could not be saved on the server");
      }
      return;
    }
    try {
      nlohmann::ordered_json reading =
          readUploadedPlan(session->plan, name, units, options.takeoffJson);
      reading["session"] = session->id;
      reading["units"] = units;
      sendJson(response, reading);
    } catch (const std::exception& error) {
      sessions.remove(session->id);
      sendError(response, kUnprocessable, error.what());
    }
  }

  // A project file the user opened, read and matched with the database before the page takes
  // it over; a refusal names the field and the layers it concerns, as a bill's does.
  void openProjectFile(const httplib::Request& request, httplib::Response& response) const {
    std::string name = parameter(request, "name");
    if (name.empty()) {
      name = kProjectName;
    }
    try {
      sendJson(response, openProject(request.body, name, options.database));
    } catch (const LocatedError& error) {
      sendJson(response,
               {{"error", error.what()}, {"field", error.field()}, {"layers", error.layers()}},
               kUnprocessable);
    } catch (const std::exception& error) {
      sendError(response, kUnprocessable, error.what());
    }
  }

  void makeBill(const httplib::Request& request, httplib::Response& response) {
    const std::shared_ptr<WebSession> found = session(request, response);
    if (!found) {
      return;
    }
    BillOptions bill;
    bill.units = parameter(request, "units");
    bill.allowOverlaps = parameter(request, "allowOverlaps") == "1";
    if (request.has_param("paper")) {
      bill.paper = parameter(request, "paper");
    }
    if (!isUnits(bill.units) ||
        (bill.paper != "A4" && bill.paper != "A3" && bill.paper != "letter")) {
      sendError(response, kBadRequest, "units must be mm, cm, m, in or ft; paper A4, A3 or letter");
      return;
    }
    auto busy = std::make_shared<std::unique_lock<std::mutex>>(found->work, std::try_to_lock);
    if (!busy->owns_lock()) {
      sendError(response, kConflict, "a bill of this plan is being made already");
      return;
    }
    // The answer is one JSON object a line: the progress as the job says it, then the outcome.
    // A page that goes away stops the job at its next step, and the job leaves nothing.
    response.set_chunked_content_provider(
        "application/x-ndjson", [this, found, busy, bill, project = request.body](
                                    std::size_t /*offset*/, httplib::DataSink& sink) {
          bool gone = false;
          const auto send = [&sink, &gone](const nlohmann::ordered_json& line) {
            const std::string text = line.dump() + "\n";
            gone = gone || !sink.is_writable() || !sink.write(text.data(), text.size());
          };
          const auto started = std::chrono::steady_clock::now();
          const BillOutcome outcome = runSessionBill(
              *found, project, bill, options.database,
              [this, started, &gone] {
                if (gone) {
                  throw Stopped("the page went away");
                }
                checkpoint(started);
              },
              [&send](const std::string& line) {
                send({{"progress", line}});
              });
          // Free before the outcome goes out: the page may ask again as soon as it has it.
          busy->unlock();
          if (outcome.done) {
            send({{"done", true}, {"files", outcome.files}});
          } else {
            send({{"done", false},
                  {"error", outcome.error},
                  {"field", outcome.field},
                  {"layers", outcome.layers}});
          }
          sink.done();
          return true;
        });
  }

  void sendOutput(const httplib::Request& request, httplib::Response& response) {
    const std::shared_ptr<WebSession> found = session(request, response);
    if (!found) {
      return;
    }
    const std::string name = request.matches[2].str();
    const std::scoped_lock busy(found->work);
    const std::optional<std::filesystem::path> file = outputFile(found->outputs, name);
    if (!file) {
      sendError(response, kNotFound, name + " is no output of this bill");
      return;
    }
    sendFile(response, *file, mediaType(name));
  }

  // The zip is the bill taken away: once all of it has gone out, the session and its folder
  // go too. A download cut off keeps them, for another try.
  void sendZip(const httplib::Request& request, httplib::Response& response) {
    const std::shared_ptr<WebSession> found = session(request, response);
    if (!found) {
      return;
    }
    auto bytes = std::make_shared<std::string>();
    {
      const std::scoped_lock busy(found->work);
      const std::vector<std::string> names = listedOutputs(found->outputs);
      if (names.empty()) {
        sendError(response, kNotFound, "there is no bill to pack yet");
        return;
      }
      const std::filesystem::path archive = found->folder / "bill.zip";
      try {
        writeZip(found->outputs, names, archive);
        *bytes = readWholeFile(archive);
      } catch (const std::exception& error) {
        sendError(response, kServerError, error.what());
        return;
      }
      std::error_code ignored;
      std::filesystem::remove(archive, ignored);
    }
    auto delivered = std::make_shared<bool>(false);
    response.set_content_provider(
        bytes->size(), "application/zip",
        [bytes, delivered](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          const std::size_t end = std::min(bytes->size(), offset + length);
          if (offset < end && !sink.write(bytes->data() + offset, end - offset)) {
            return false;
          }
          *delivered = *delivered || end == bytes->size();
          return true;
        },
        [this, id = found->id, delivered](bool /*success: this library version never says*/) {
          if (*delivered) {
            sessions.remove(id);
          }
        });
  }

  static std::string readWholeFile(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (!stream && !stream.eof()) {
      throw std::runtime_error("the zip could not be read back");
    }
    return bytes;
  }

  static void sendFile(httplib::Response& response, const std::filesystem::path& file,
                       std::string_view type) {
    std::ifstream stream(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (!stream && !stream.eof()) {
      sendError(response, kServerError, "the file could not be read");
      return;
    }
    response.set_content(bytes, std::string(type));
  }

  void routes() {
    server.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
          return guard(request, response);
        });
    server.set_payload_max_length(options.maxUpload + 1);
    server.Get("/", [this](const auto& request, auto& response) { servePage(request, response); });
    server.Get(R"(/assets/[A-Za-z0-9_.-]+)",
               [this](const auto& request, auto& response) { servePage(request, response); });
    server.Get("/api/database", [this](const httplib::Request&, httplib::Response& response) {
      try {
        sendJson(response, databaseListing(options.database));
      } catch (const std::exception& error) {
        sendError(response, kServerError, error.what());
      }
    });
    server.Post("/api/plan", [this](const httplib::Request& request, httplib::Response& response,
                                    const httplib::ContentReader& reader) {
      uploadPlan(request, response, reader);
    });
    server.Post("/api/project", [this](const auto& request, auto& response) {
      openProjectFile(request, response);
    });
    server.Post(R"(/api/sessions/([0-9a-f]+)/bill)",
                [this](const auto& request, auto& response) { makeBill(request, response); });
    server.Get(R"(/api/sessions/([0-9a-f]+)/files/([^/]+))",
               [this](const auto& request, auto& response) { sendOutput(request, response); });
    server.Get(R"(/api/sessions/([0-9a-f]+)/bill\.zip)",
               [this](const auto& request, auto& response) { sendZip(request, response); });
    server.Delete(R"(/api/sessions/([0-9a-f]+))",
                  [this](const httplib::Request& request, httplib::Response& response) {
                    sessions.remove(request.matches[1].str());
                    sendJson(response, {{"removed", true}});
                  });
  }
};

WebServer::WebServer(ServerOptions options) : state_(std::make_unique<State>(std::move(options))) {
  state_->routes();
}

WebServer::~WebServer() = default;

int WebServer::bind() {
  State& state = *state_;
  const std::string& host = state.options.host;
  int port = state.options.port;
  if (port == 0) {
    port = state.server.bind_to_any_port(host);
  } else if (!state.server.bind_to_port(host, port)) {
    port = -1;
  }
  if (port <= 0) {
    throw std::runtime_error(host + ":" + std::to_string(state.options.port) +
                             ": cannot listen there (is the port in use, or the address not "
                             "this machine's?); name another with --port or --host");
  }
  state.bound = {host, port};
  return port;
}

std::string WebServer::address() const {
  const BoundAddress& bound = state_->bound;
  std::string host = bound.host == "0.0.0.0" || bound.host == "::" ? "127.0.0.1" : bound.host;
  if (host.find(':') != std::string::npos) {
    host = "[" + host + "]";
  }
  return "http://" + host + ":" + std::to_string(bound.port) + "/?token=" + state_->token;
}

void WebServer::run() {
  state_->server.listen_after_bind();
}

void WebServer::stop() {
  state_->stopping = true;
  state_->server.stop();
}

}  // namespace kvm::workshop::web
