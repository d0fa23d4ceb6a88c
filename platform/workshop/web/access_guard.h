#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvm::workshop::web {

// The cookie the page keeps its token in after the first visit, and the header scripts and
// the page's own requests may give it in instead.
inline constexpr std::string_view kTokenCookie = "kavelmor_token";
inline constexpr std::string_view kTokenHeader = "X-Kavelmor-Token";

// A fresh access token: 32 random bytes from the system, as 64 hex digits.
std::string freshToken();

// Compares in time that does not depend on where the texts first differ.
bool sameToken(std::string_view given, std::string_view token);

// The value of one cookie in a Cookie header, if it is there.
std::optional<std::string> cookieValue(std::string_view cookieHeader, std::string_view name);

// "kavelmor_token=…; Path=/; HttpOnly; SameSite=Strict"
std::string tokenCookie(std::string_view token);

// Where the server listens, for the checks of the Host and Origin headers.
struct BoundAddress {
  std::string host;  // as given to --host: "127.0.0.1", "0.0.0.0", "::1", "localhost"
  int port = 0;      // the real one, after binding
};

// A Host header that names this server: its own address or localhost, at its own port. A
// server bound to every address (a workshop's network) is reached by names it cannot know, so
// only the port is checked there; the token still guards it.
bool hostAllowed(std::string_view hostHeader, const BoundAddress& bound);

// A request that changes something may come only from the page itself: an Origin, where the
// browser sends one, must be this server's as the Host header names it.
bool originAllowed(std::string_view method, std::string_view origin, std::string_view hostHeader);

}  // namespace kvm::workshop::web
