// Which pages may drive the control, and for which of them the rule on local files is
// off: lists of origins an administrator sets as policy. Entries are "scheme://host" with
// an optional ":port" (the scheme's own port otherwise); a host "*.example.com" takes every
// name under example.com, not example.com itself; "*" alone takes every origin. Entries
// are separated by ";", "," or white space.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"

namespace qorva {

class Registry;

struct Origin {
  Text scheme;  // lower case
  Text host;    // lower case, without user name or trailing dot; "" for file pages
  uint32_t port = 0;
  bool operator==(const Origin&) const = default;
};

// The origin of a page's address; none when the address has no scheme or an unusable
// authority (a bad port, for one).
std::optional<Origin> OriginOfUrl(TextView url);

class OriginList {
 public:
  // Entries that cannot be read are skipped; `unreadable` counts them.
  static OriginList Parse(TextView text, int* unreadable = nullptr);

  bool Contains(const std::optional<Origin>& origin) const;
  bool empty() const { return entries_.empty() && !any_; }

 private:
  struct Entry {
    Text scheme;
    Text host;
    bool subdomains = false;  // "*." in front: any name below `host`
    uint32_t port = 0;
  };
  std::vector<Entry> entries_;
  bool any_ = false;
};

// Where the policy lives: the machine's key, else the user's.
inline constexpr TextView kSitePolicyKey = u"Software\\Policies\\QORVA\\qorvaeditor";

struct SitePolicy {
  // The pages that may drive the control; none when no list is configured, and then
  // every page may.
  std::optional<OriginList> allowedOrigins;
  // The pages that may hand the control any local file, not only those it knows.
  OriginList anyLocalFileOrigins;
};

// Each value is read from the machine's policy key and, when the machine has none, from
// the user's.
SitePolicy ReadSitePolicy(Registry& registry);

}  // namespace qorva
