#include "paste/office_style_map.h"

#include <algorithm>
#include <iterator>

#include "paste/paste_text.h"
#include "support/string_helpers.h"

namespace qorva {

uint32_t COfficeStyleMap::Hash(TextView key) {
  uint32_t h = 2166136261u;
  const size_t step = key.size() / 10 + 1;
  for (size_t i = 0; i < key.size(); i += step) h = (h * 16777619u) ^ key[i];
  return h;
}

void COfficeStyleMap::Store(TextView key, TextView value) {
  Text owned(key);
  auto found = index_.find(owned);
  if (found != index_.end()) {
    entries_[found->second].value = Text(value);
    return;
  }
  auto slot = static_cast<uint32_t>(entries_.size());
  entries_.push_back({owned, Text(value)});
  chains_[BucketOf(key)].push_back(slot);
  index_.emplace(std::move(owned), slot);
}

const Text* COfficeStyleMap::Find(TextView key) const {
  auto found = index_.find(Text(key));
  return found == index_.end() ? nullptr : &entries_[found->second].value;
}

void COfficeStyleMap::Clear() {
  entries_.clear();
  for (auto& chain : chains_) chain.clear();
  index_.clear();
}

std::vector<const COfficeStyleMap::Entry*> COfficeStyleMap::InOrder() const {
  std::vector<const Entry*> order;
  order.reserve(entries_.size());
  for (const auto& chain : chains_) {
    // The back of each vector is the front of its chain.
    std::transform(chain.rbegin(), chain.rend(), std::back_inserter(order),
                   [this](uint32_t slot) { return &entries_[slot]; });
  }
  return order;
}

namespace {

Text WithoutLineBreaksAndTabs(TextView text) {
  Text out(text);
  DeleteUnits(out, u"\r\n\t");
  return out;
}

}  // namespace

void ParseOfficeStyleSheet(COfficeStyleMap& map, TextView cssText) {
  map.Clear();
  Text tdDeclarations;
  std::vector<Text> chunks;
  SplitList(cssText, u"}", chunks);
  std::vector<Text> fields;
  for (const Text& chunk : chunks) {
    fields.clear();
    SplitList(chunk, u"{", fields);
    if (fields.size() != 2) continue;
    Text selector = WithoutLineBreaksAndTabs(fields[0]);
    Text declarations = WithoutLineBreaksAndTabs(fields[1]);
    if (tdDeclarations.empty() && selector == u"td") tdDeclarations = declarations;
    if (selector.empty()) continue;
    if (selector[0] == u'.' && !tdDeclarations.empty()) {
      map.Store(selector, tdDeclarations + declarations);
    } else {
      map.Store(selector, declarations);
    }
  }
}

void ParseStyleSheetBetween(const Text& html, TextView startMarker, TextView endMarker,
                            COfficeStyleMap& map) {
  size_t s = FindText(html, startMarker);
  if (s == Text::npos || FindText(html, endMarker) == Text::npos) return;
  TextView work = TextView(html).substr(s + startMarker.size());
  size_t end = FindText(work, endMarker);
  if (end == TextView::npos) return;
  ParseOfficeStyleSheet(map, work.substr(0, end));
}

}  // namespace qorva
