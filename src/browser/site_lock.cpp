#include "browser/site_lock.h"

#include <algorithm>
#include <utility>

#include "platform/registry.h"

namespace qorva {

namespace {

bool IsAsciiDigits(TextView text) {
  return !text.empty() &&
         std::ranges::all_of(text, [](char16_t unit) { return unit >= u'0' && unit <= u'9'; });
}

std::optional<uint32_t> ParsePort(TextView text) {
  if (!IsAsciiDigits(text) || text.size() > 5) return std::nullopt;
  uint32_t port = 0;
  for (char16_t unit : text) port = port * 10 + static_cast<uint32_t>(unit - u'0');
  if (port == 0 || port > 65535) return std::nullopt;
  return port;
}

uint32_t DefaultPort(TextView scheme) {
  if (scheme == u"http") return 80;
  if (scheme == u"https") return 443;
  return 0;
}

// Splits "host[:port]", where the host may be a bracketed IPv6 address, the only kind of
// host that holds a colon; none for a bad port or host.
std::optional<std::pair<Text, uint32_t>> SplitHostPort(TextView authority, TextView scheme) {
  size_t hostEnd = 0;
  if (authority.starts_with(u'[')) {
    size_t close = authority.find(u']');
    if (close == TextView::npos) return std::nullopt;
    hostEnd = close + 1;
  } else {
    hostEnd = std::min(authority.find(u':'), authority.size());
  }
  TextView rest = authority.substr(hostEnd);
  if (!rest.empty() && rest[0] != u':') return std::nullopt;
  Text host = ToLower(authority.substr(0, hostEnd));
  // One trailing dot names the same host; a second leaves an empty label, which is no
  // host, and stripping it too would let an address and a list entry disagree on it.
  if (!host.empty() && host.back() == u'.') host.pop_back();
  if (!host.empty() && host.back() == u'.') return std::nullopt;
  uint32_t port = DefaultPort(scheme);
  if (rest.size() > 1) {
    std::optional<uint32_t> given = ParsePort(rest.substr(1));
    if (!given) return std::nullopt;
    port = *given;
  }
  return std::make_pair(std::move(host), port);
}

bool IsSchemeChar(char16_t unit, bool first) {
  bool letter = (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
  if (first) return letter;
  return letter || (unit >= u'0' && unit <= u'9') || unit == u'+' || unit == u'-' || unit == u'.';
}

// The scheme of "scheme://..." in lower case, and the rest after the two slashes.
std::optional<std::pair<Text, TextView>> SplitScheme(TextView url) {
  size_t separator = url.find(u"://");
  if (separator == 0 || separator == TextView::npos) return std::nullopt;
  for (size_t i = 0; i < separator; ++i) {
    if (!IsSchemeChar(url[i], i == 0)) return std::nullopt;
  }
  return std::make_pair(ToLower(url.substr(0, separator)), url.substr(separator + 3));
}

bool HostMatches(const Text& host, const Text& pattern, bool subdomains) {
  if (!subdomains) return host == pattern;
  return host.size() > pattern.size() + 1 && host.ends_with(pattern) &&
         host[host.size() - pattern.size() - 1] == u'.';
}

std::optional<Text> ReadPolicyText(Registry& registry, TextView name) {
  for (RegistryHive hive : {RegistryHive::kLocalMachine, RegistryHive::kCurrentUser}) {
    auto key = registry.OpenKey(hive, kSitePolicyKey, RegistryAccess::kRead);
    if (!key) continue;
    if (std::optional<Text> value = key->ReadString(name)) return value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<Origin> OriginOfUrl(TextView url) {
  const Text trimmed = Trim(url);
  auto split = SplitScheme(trimmed);
  if (!split) return std::nullopt;
  auto& [scheme, rest] = *split;
  // Browsers read "\" as "/" in these addresses, so it ends the authority too.
  TextView authority = rest.substr(0, rest.find_first_of(u"/\\?#"));
  size_t at = authority.rfind(u'@');
  if (at != TextView::npos) authority.remove_prefix(at + 1);
  auto hostPort = SplitHostPort(authority, scheme);
  if (!hostPort) return std::nullopt;
  if (hostPort->first.empty() && scheme != u"file") return std::nullopt;
  return Origin{scheme, std::move(hostPort->first), hostPort->second};
}

OriginList OriginList::Parse(TextView text, int* unreadable) {
  OriginList list;
  if (unreadable) *unreadable = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(u";, \t\r\n", start);
    if (end == TextView::npos) end = text.size();
    TextView item = text.substr(start, end - start);
    start = end + 1;
    if (item.empty()) continue;
    if (item == u"*") {
      list.any_ = true;
      continue;
    }
    auto split = SplitScheme(item);
    std::optional<std::pair<Text, uint32_t>> hostPort;
    if (split) {
      TextView authority = split->second;
      if (!authority.empty() && authority.back() == u'/') authority.remove_suffix(1);
      if (authority.find_first_of(u"/\\?#@") == TextView::npos) {
        hostPort = SplitHostPort(authority, split->first);
      }
    }
    if (!hostPort || (hostPort->first.empty() && split->first != u"file")) {
      if (unreadable) ++*unreadable;
      continue;
    }
    Entry entry{split->first, std::move(hostPort->first), false, hostPort->second};
    if (entry.host.starts_with(u"*.")) {
      entry.subdomains = true;
      entry.host.erase(0, 2);
    }
    list.entries_.push_back(std::move(entry));
  }
  return list;
}

bool OriginList::Contains(const std::optional<Origin>& origin) const {
  if (!origin) return false;
  if (any_) return true;
  return std::ranges::any_of(entries_, [&](const Entry& entry) {
    return entry.scheme == origin->scheme && entry.port == origin->port &&
           HostMatches(origin->host, entry.host, entry.subdomains);
  });
}

SitePolicy ReadSitePolicy(Registry& registry) {
  SitePolicy policy;
  if (std::optional<Text> allowed = ReadPolicyText(registry, u"AllowedOrigins")) {
    policy.allowedOrigins = OriginList::Parse(*allowed);
  }
  if (std::optional<Text> any = ReadPolicyText(registry, u"AnyLocalFileOrigins")) {
    policy.anyLocalFileOrigins = OriginList::Parse(*any);
  }
  return policy;
}

}  // namespace qorva
