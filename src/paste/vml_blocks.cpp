#include <algorithm>

#include "paste/paste_cleanup.h"
#include "paste/rewrite_buffer.h"

namespace qorva {

namespace {

constexpr TextView kVmlStart = u"<!--[if gte vml 1]>";
constexpr TextView kVmlEnd = u"<![endif]-->";
// New markers can only begin this far before a place where the text was joined.
constexpr size_t kReach = kVmlStart.size() - 1;

size_t Behind(size_t pos) { return pos > kReach ? pos - kReach : 0; }

}  // namespace

// Each round works on the text as one head/tail buffer, so removing many blocks copies
// the text once instead of once per block.
bool RemoveVmlBlocks(Text& html, const VmlBlockCallback& onBlockRemoved) {
  if (FindText(html, kVmlStart) == Text::npos || FindText(html, kVmlEnd) == Text::npos)
    return false;
  RewriteBuffer text(std::move(html));
  size_t clean = 0;  // no marker of either kind starts before this
  bool removed = false;
  while (true) {
    size_t s = text.Find(kVmlStart, clean);
    if (s == RewriteBuffer::npos) break;
    size_t e = text.Find(kVmlEnd, clean);
    if (e == RewriteBuffer::npos) break;
    if (s > e) {
      // Stray end markers before the block: delete them all in the text before it.
      text.ExtendHeadTo(s);
      Text before(text.head().substr(e, s - e));
      ReplaceAll(before, kVmlEnd, u"");
      Text rest(text.head().substr(s));
      std::vector<uint8_t> marks(before.size() + rest.size(), 0);
      text.ReplaceHeadFrom(e, before + rest, std::move(marks));
      clean = std::max(clean, Behind(e));
      continue;
    }
    const size_t cutEnd = e + kVmlEnd.size();
    if (onBlockRemoved) {
      if (cutEnd >= text.headSize()) {
        onBlockRemoved(text.TailFrom(cutEnd));
      } else {
        onBlockRemoved(text.CopyFrom(cutEnd));
      }
    }
    if (cutEnd <= text.headSize()) {
      text.EraseInHead(s, cutEnd - s);
    } else {
      // The part of the block still in the tail runs from the head's end (or s) to cutEnd.
      const size_t inTail = cutEnd - std::max(s, text.headSize());
      if (s < text.headSize()) {
        text.EraseInHead(s, text.headSize() - s);
      } else {
        text.ExtendHeadTo(s);
      }
      text.SkipTo(text.headSize() + inTail);
    }
    removed = true;
    clean = Behind(s);
  }
  html = text.Take();
  return removed;
}

}  // namespace qorva
