#include "platform/workshop/web/access_guard.h"

#include <gtest/gtest.h>

#include <set>

namespace kvm::workshop::web {
namespace {

TEST(AccessToken, IsFreshLongAndComparedWhole) {
  std::set<std::string> tokens;
  for (int i = 0; i < 50; ++i) {
    const std::string token = freshToken();
    ASSERT_EQ(token.size(), 64U);
    ASSERT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos);
    tokens.insert(token);
  }
  EXPECT_EQ(tokens.size(), 50U);

  const std::string token = freshToken();
  EXPECT_TRUE(sameToken(token, token));
  EXPECT_FALSE(sameToken("", token));
  EXPECT_FALSE(sameToken(token.substr(0, 63), token));
  EXPECT_FALSE(sameToken(token + "0", token));
  std::string changed = token;
  changed.back() = changed.back() == '0' ? '1' : '0';
  EXPECT_FALSE(sameToken(changed, token));
  EXPECT_FALSE(sameToken("", "")) << "a server without a token lets nobody in";
}

TEST(AccessToken, CookieIsFoundByNameAndKeptFromScripts) {
  EXPECT_EQ(cookieValue("kavelmor_token=abc", kTokenCookie), "abc");
  EXPECT_EQ(cookieValue("a=1; kavelmor_token=abc; b=2", kTokenCookie), "abc");
  EXPECT_EQ(cookieValue("x_kavelmor_token=abc", kTokenCookie), std::nullopt);
  EXPECT_EQ(cookieValue("kavelmor_tokens=abc", kTokenCookie), std::nullopt);
  EXPECT_EQ(cookieValue("", kTokenCookie), std::nullopt);
  const std::string cookie = tokenCookie("abc");
  EXPECT_TRUE(cookie.starts_with("kavelmor_token=abc;"));
  EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
  EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
}

TEST(HostHeader, NamesTheBoundAddressOrLocalhostAtTheBoundPort) {
  const BoundAddress loopback{"127.0.0.1", 8040};
  EXPECT_TRUE(hostAllowed("127.0.0.1:8040", loopback));
  EXPECT_TRUE(hostAllowed("localhost:8040", loopback));
  // A rebound DNS name points at this address under another name.
  EXPECT_FALSE(hostAllowed("attacker.example:8040", loopback));
  EXPECT_FALSE(hostAllowed("127.0.0.1:8041", loopback));
  EXPECT_FALSE(hostAllowed("127.0.0.1", loopback));
  EXPECT_FALSE(hostAllowed("127.0.0.1:80x", loopback));
  EXPECT_FALSE(hostAllowed("127.0.0.1:8040 ", loopback));
  EXPECT_FALSE(hostAllowed("", loopback));
  EXPECT_FALSE(hostAllowed("[::1]:8040", loopback));

  const BoundAddress six{"::1", 9000};
  EXPECT_TRUE(hostAllowed("[::1]:9000", six));
  EXPECT_TRUE(hostAllowed("localhost:9000", six));
  EXPECT_FALSE(hostAllowed("127.0.0.1:9000", six));

  const BoundAddress named{"localhost", 9000};
  EXPECT_TRUE(hostAllowed("127.0.0.1:9000", named));
  EXPECT_TRUE(hostAllowed("localhost:9000", named));

  // On the workshop's network the machine has names the server cannot know: the port and the
  // token guard it.
  const BoundAddress everywhere{"0.0.0.0", 8040};
  EXPECT_TRUE(hostAllowed("workshop-pc:8040", everywhere));
  EXPECT_TRUE(hostAllowed("192.168.1.20:8040", everywhere));
  EXPECT_FALSE(hostAllowed("workshop-pc:8041", everywhere));
  EXPECT_FALSE(hostAllowed(":8040", everywhere));

  const BoundAddress lan{"192.168.1.20", 8040};
  EXPECT_TRUE(hostAllowed("192.168.1.20:8040", lan));
  EXPECT_FALSE(hostAllowed("localhost:8040", lan));
}

TEST(OriginHeader, OnlyThePageItselfMayChangeSomething) {
  EXPECT_TRUE(originAllowed("POST", "http://127.0.0.1:8040", "127.0.0.1:8040"));
  EXPECT_TRUE(originAllowed("POST", "", "127.0.0.1:8040")) << "scripts send no Origin";
  EXPECT_TRUE(originAllowed("GET", "http://evil.example", "127.0.0.1:8040"));
  EXPECT_FALSE(originAllowed("POST", "http://evil.example", "127.0.0.1:8040"));
  EXPECT_FALSE(originAllowed("POST", "null", "127.0.0.1:8040"));
  EXPECT_FALSE(originAllowed("DELETE", "http://localhost:8040", "127.0.0.1:8040"));
  EXPECT_FALSE(originAllowed("POST", "https://127.0.0.1:8040", "127.0.0.1:8040"));
  EXPECT_FALSE(originAllowed("PUT", "http://127.0.0.1:8041", "127.0.0.1:8040"));
}

}  // namespace
}  // namespace kvm::workshop::web
