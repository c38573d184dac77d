// A text being rewritten front to back in one pass: a rewritten head, built by
// appending, followed by the untouched rest of the source. Searches see the two as one
// text; edits happen in the head, so a pass that moves forward costs what it copies.
// Each unit carries a mark: the passes mark the text they insert so that their own
// searches can pass over it.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"

namespace qorva {

class RewriteBuffer {
 public:
  static constexpr size_t npos = Text::npos;

  explicit RewriteBuffer(Text source, std::vector<uint8_t> marks = {});

  size_t size() const { return head_.size() + (tail_.size() - read_); }
  size_t headSize() const { return head_.size(); }
  char16_t At(size_t pos) const {
    return pos < head_.size() ? head_[pos] : tail_[read_ + (pos - head_.size())];
  }
  bool MarkedAt(size_t pos) const;

  // First occurrence of `pattern` that starts in [from, limit) and fits in the text.
  size_t Find(TextView pattern, size_t from, size_t limit = npos) const;

  // Moves the text before `pos` (at most size()) into the head.
  void ExtendHeadTo(size_t pos);
  // Drops the tail text in [headSize(), pos).
  void SkipTo(size_t pos);
  // Head edits; `pos` and the range lie within the head.
  void EraseInHead(size_t pos, size_t count);
  void InsertInHead(size_t pos, TextView text, bool marked);
  // Replaces head[pos, end of head) by `text` with `marks`.
  void ReplaceHeadFrom(size_t pos, const Text& text, std::vector<uint8_t> marks);

  TextView head() const { return head_; }
  const std::vector<uint8_t>& headMarks() const { return marks_; }
  // The text from `pos`, which lies at or after the head's end.
  TextView TailFrom(size_t pos) const {
    return TextView(tail_).substr(read_ + (pos - head_.size()));
  }
  // The text from `pos` anywhere, copied.
  Text CopyFrom(size_t pos) const;

  // The whole text; the buffer is left empty.
  Text Take();
  // The whole text with its marks; the buffer is left empty.
  Text Take(std::vector<uint8_t>& marks);

 private:
  Text head_;
  std::vector<uint8_t> marks_;
  Text tail_;
  std::vector<uint8_t> tailMarks_;  // empty: nothing in the tail is marked
  size_t read_ = 0;
};

}  // namespace qorva
