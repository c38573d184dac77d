#include "browser/site_lock.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_registry.h"
#include "support/encoding.h"

namespace qorva {
namespace {

TEST(SiteLock, OriginsOfPageAddresses) {
  struct Case {
    const char16_t* url;
    std::optional<Origin> origin;
  };
  const Case cases[] = {
      {u"http://Editor.Example.com/page.html", Origin{u"http", u"editor.example.com", 80}},
      {u"HTTPS://editor.example.com:8443/a?b#c", Origin{u"https", u"editor.example.com", 8443}},
      {u"https://editor.example.com./", Origin{u"https", u"editor.example.com", 443}},
      {u"https://editor.example.com../", std::nullopt},
      // The user-name trick: the host is what follows the last "@".
      {u"http://editor.example.com@evil.example/", Origin{u"http", u"evil.example", 80}},
      // Browsers read "\" as "/", so the host ends there.
      {u"http://evil.example\\@editor.example.com/", Origin{u"http", u"evil.example", 80}},
      {u"http://[::1]:8080/x", Origin{u"http", u"[::1]", 8080}},
      {u"http://[::1]/x", Origin{u"http", u"[::1]", 80}},
      {u"file:///C:/pages/editor.html", Origin{u"file", u"", 0}},
      {u"http://editor.example.com:/x", Origin{u"http", u"editor.example.com", 80}},
      {u"http://editor.example.com:99999/", std::nullopt},
      {u"http://editor.example.com:80x/", std::nullopt},
      {u"http:///nohost", std::nullopt},
      {u"http://a.example:b:80/", std::nullopt},
      {u"http://[::1/", std::nullopt},
      {u"http://[::1]x:80/", std::nullopt},
      {u"editor.example.com/page.html", std::nullopt},
      {u"", std::nullopt},
      {u"://x", std::nullopt},
      {u"1http://x/", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OriginOfUrl(c.url), c.origin) << ToUtf8(c.url);
  }
}

TEST(SiteLock, ListsMatchSchemeHostAndPort) {
  int unreadable = 0;
  OriginList list = OriginList::Parse(
      u"https://editor.example.com; http://*.corp.example:8080,file://\n"
      u"  nonsense https://bad.example:0 http://x.example/path https://x.example..",
      &unreadable);
  EXPECT_EQ(unreadable, 4);
  struct Case {
    const char16_t* url;
    bool allowed;
  };
  const Case cases[] = {
      {u"https://editor.example.com/page", true},
      {u"https://EDITOR.example.com:443/", true},
      {u"http://editor.example.com/", false},       // another scheme
      {u"https://editor.example.com:444/", false},  // another port
      {u"https://sub.editor.example.com/", false},  // no wildcard for this one
      {u"https://editor.example.com.evil.example/", false},
      {u"http://a.corp.example:8080/", true},
      {u"http://a.b.corp.example:8080/", true},
      {u"http://corp.example:8080/", false},  // the wildcard is for names below only
      {u"http://xcorp.example:8080/", false},
      {u"http://a.corp.example/", false},
      {u"file:///C:/pages/editor.html", true},
      {u"http://x.example/", false},  // its entry had a path and was not read
  };
  for (const Case& c : cases) {
    EXPECT_EQ(list.Contains(OriginOfUrl(c.url)), c.allowed) << ToUtf8(c.url);
  }
  EXPECT_FALSE(list.Contains(std::nullopt));
  EXPECT_TRUE(OriginList::Parse(u"*").Contains(OriginOfUrl(u"http://anything.example/")));
  EXPECT_TRUE(OriginList::Parse(u" ;, ").empty());
}

TEST(SiteLock, TheMachinePolicyComesBeforeTheUsers) {
  MemoryRegistry registry;
  EXPECT_FALSE(ReadSitePolicy(registry).allowedOrigins);
  registry.Set(RegistryHive::kCurrentUser, kSitePolicyKey, u"AllowedOrigins",
               Text(u"https://user.example"));
  SitePolicy user = ReadSitePolicy(registry);
  ASSERT_TRUE(user.allowedOrigins);
  EXPECT_TRUE(user.allowedOrigins->Contains(OriginOfUrl(u"https://user.example/")));

  registry.Set(RegistryHive::kLocalMachine, kSitePolicyKey, u"AllowedOrigins",
               Text(u"https://machine.example"));
  registry.Set(RegistryHive::kLocalMachine, kSitePolicyKey, u"AnyLocalFileOrigins",
               Text(u"https://machine.example"));
  SitePolicy machine = ReadSitePolicy(registry);
  ASSERT_TRUE(machine.allowedOrigins);
  EXPECT_TRUE(machine.allowedOrigins->Contains(OriginOfUrl(u"https://machine.example/")));
  EXPECT_FALSE(machine.allowedOrigins->Contains(OriginOfUrl(u"https://user.example/")));
  EXPECT_TRUE(machine.anyLocalFileOrigins.Contains(OriginOfUrl(u"https://machine.example/")));
  EXPECT_EQ(registry.OpenHandleCount(), 0);

  // A configured list that is empty allows no page at all.
  registry.Set(RegistryHive::kLocalMachine, kSitePolicyKey, u"AllowedOrigins", Text(u""));
  SitePolicy none = ReadSitePolicy(registry);
  ASSERT_TRUE(none.allowedOrigins);
  EXPECT_FALSE(none.allowedOrigins->Contains(OriginOfUrl(u"https://machine.example/")));
}

}  // namespace
}  // namespace qorva
