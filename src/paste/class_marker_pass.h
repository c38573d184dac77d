// One style-map entry's inlining pass over the text: finds the entry's class marker,
// applies the common insertion step (a new style attribute before the tag's ">", or the
// class declarations put first inside the tag's own style value), and deletes the
// marker. The text it inserts is marked and never searched again by the same pass, so
// a declaration that contains its own marker cannot make the pass run forever.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"
#include "paste/rewrite_buffer.h"

namespace qorva {

// A class marker; with kWholeName it counts only where the class name ends there
// (no further class-name unit follows).
struct ClassMarker {
  enum class End { kAny, kWholeName };
  TextView text;
  End end = End::kAny;
};

class ClassMarkerPass {
 public:
  enum class Step { kInserted, kMerged, kNoTagEnd };
  // kQuotesToApostrophes: when the tag's style value is double-quoted, the value's
  // double quotes become apostrophes before it goes in (and stay so).
  enum class QuoteRule { kKeep, kQuotesToApostrophes };

  explicit ClassMarkerPass(Text text) : buffer_(std::move(text)) {}

  // The first occurrence of `marker` that this pass did not insert; npos when none.
  size_t FindMarker(const ClassMarker& marker);
  // The common insertion step at `pos`, an occurrence of `marker` found by FindMarker.
  // On kNoTagEnd (no ">" and no "style=" after the marker) nothing changed.
  Step Apply(size_t pos, const ClassMarker& marker, Text& declarations, QuoteRule quotes);
  // Replaces every occurrence of `marker` this pass did not insert by `replacement`.
  void ReplaceEverywhere(const ClassMarker& marker, TextView replacement);

  Text Take() { return buffer_.Take(); }

 private:
  bool Eligible(size_t pos, const ClassMarker& marker) const;
  size_t FindEligible(const ClassMarker& marker, size_t from) const;
  // Deletes the eligible occurrences of `marker` wholly inside [from, end) of the head.
  // Returns the first deleted position (npos when none) and adds the units removed.
  size_t DeleteMarkers(const ClassMarker& marker, size_t from, size_t end, size_t& removed);
  size_t ResumeFor(const ClassMarker& marker) const;

  RewriteBuffer buffer_;
  // No eligible occurrence of resumeMarker_ starts before resume_.
  Text resumeMarker_;
  ClassMarker::End resumeEnd_ = ClassMarker::End::kAny;
  size_t resume_ = 0;
};

}  // namespace qorva
