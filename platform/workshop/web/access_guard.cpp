#include "platform/workshop/web/access_guard.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <stdexcept>

namespace kvm::workshop::web {

namespace {

constexpr std::size_t kTokenBytes = 32;

bool isWildcard(std::string_view host) {
  return host == "0.0.0.0" || host == "::" || host.empty();
}

bool isLoopbackName(std::string_view host) {
  return host == "localhost" || host == "127.0.0.1" || host == "[::1]";
}

// "[::1]" for an IPv6 address, as a Host header writes it.
std::string asHostName(std::string_view host) {
  if (host.find(':') != std::string_view::npos && !host.starts_with('[')) {
    return "[" + std::string(host) + "]";
  }
  return std::string(host);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string freshToken() {
  std::array<unsigned char, kTokenBytes> bytes{};
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw std::runtime_error("the system gave no random bytes for the access token");
    }
    filled += static_cast<std::size_t>(got);
  }
  constexpr std::string_view kDigits = "0123456789abcdef";
  std::string token;
  token.reserve(bytes.size() * 2);
  for (const unsigned char byte : bytes) {
    token += kDigits[byte >> 4U];
    token += kDigits[byte & 0x0FU];
  }
  return token;
}

bool sameToken(std::string_view given, std::string_view token) {
  if (token.empty() || given.size() != token.size()) {
    return false;
  }
  unsigned difference = 0;
  for (std::size_t i = 0; i < token.size(); ++i) {
    difference |= static_cast<unsigned>(static_cast<unsigned char>(given[i])) ^
                  static_cast<unsigned>(static_cast<unsigned char>(token[i]));
  }
  return difference == 0;
}

std::optional<std::string> cookieValue(std::string_view cookieHeader, std::string_view name) {
  while (!cookieHeader.empty()) {
    const std::size_t end = cookieHeader.find(';');
    std::string_view pair = cookieHeader.substr(0, end);
    cookieHeader =
        end == std::string_view::npos ? std::string_view{} : cookieHeader.substr(end + 1);
    while (pair.starts_with(' ')) {
      pair.remove_prefix(1);
    }
    const std::size_t equals = pair.find('=');
    if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
      return std::string(pair.substr(equals + 1));
    }
  }
  return std::nullopt;
}

std::string tokenCookie(std::string_view token) {
  return std::string(kTokenCookie) + "=" + std::string(token) +
         "; Path=/; HttpOnly; SameSite=Strict";
}

bool hostAllowed(std::string_view hostHeader, const BoundAddress& bound) {
  const std::size_t colon = hostHeader.rfind(':');
  if (colon == std::string_view::npos || hostHeader.ends_with(']')) {
    return false;  // a browser names the port of any server not on port 80
  }
  const std::string_view name = hostHeader.substr(0, colon);
  const std::string_view portText = hostHeader.substr(colon + 1);
  int port = 0;
  const auto [end, error] =
      std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (error != std::errc{} || end != portText.data() + portText.size() || port != bound.port) {
    return false;
  }
  if (isWildcard(bound.host)) {
    return !name.empty();
  }
  if (equalsIgnoringCase(name, asHostName(bound.host))) {
    return true;
  }
  // localhost stands for the loopback address the server is bound to, and the other way round.
  const std::string own = asHostName(bound.host);
  return isLoopbackName(own) && isLoopbackName(name) && (name == "localhost" || own == "localhost");
}

bool originAllowed(std::string_view method, std::string_view origin, std::string_view hostHeader) {
  if (method == "GET" || method == "HEAD" || origin.empty()) {
    return true;
  }
  return origin == "http://" + std::string(hostHeader);
}

}  // namespace kvm::workshop::web
