// The office style map: selector text to declaration text, in the fixed hash layout
// whose iteration order decides which class wins when several match one element.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/text.h"

namespace qorva {

class COfficeStyleMap {
 public:
  static constexpr size_t kBucketCount = 17;

  struct Entry {
    Text key;
    Text value;
  };

  // The sampled hash: units 0, k, 2k, ... below the length L with k = L / 10 + 1.
  static uint32_t Hash(TextView key);
  static size_t BucketOf(TextView key) { return Hash(key) % kBucketCount; }

  // A new key goes to the front of its bucket's chain; an existing key keeps its place
  // and gets the new value.
  void Store(TextView key, TextView value);
  // The value stored under `key`, or null.
  const Text* Find(TextView key) const;
  void Clear();
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  // Every entry in iteration order: buckets 0 to 16, each chain front to back. The
  // pointers stay valid until the map changes.
  std::vector<const Entry*> InOrder() const;

 private:
  std::vector<Entry> entries_;
  // Indexes into entries_; the back of each vector is the front of its chain.
  std::array<std::vector<uint32_t>, kBucketCount> chains_;
  std::unordered_map<Text, uint32_t> index_;
};

// Clears `map` and fills it from a style-sheet text: rules split at "}" and "{", line
// breaks and tabs removed, spaces kept; class rules after the first "td" rule get that
// rule's declarations in front of their own.
void ParseOfficeStyleSheet(COfficeStyleMap& map, TextView cssText);

// Parses the style sheet text from the end of the first `startMarker` to the first
// `endMarker` after it, when both markers occur; leaves `map` alone otherwise.
void ParseStyleSheetBetween(const Text& html, TextView startMarker, TextView endMarker,
                            COfficeStyleMap& map);

}  // namespace qorva
