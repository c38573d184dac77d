#include "graphics/color_quantizer.h"

#include <cassert>

namespace qorva {

namespace {

constexpr uint8_t kRootLevel = 7;
constexpr uint32_t kMinColors = 8;
constexpr uint32_t kMaxColors = 256;

int ChildIndex(uint8_t r, uint8_t g, uint8_t b, uint8_t level) {
  return (((r >> level) & 1) << 2) | (((g >> level) & 1) << 1) | ((b >> level) & 1);
}

}  // namespace

std::optional<Bitmap> QuantizeToIndexed(const Bitmap& image) {
  std::optional<Bitmap> converted;
  const Bitmap* source = &image;
  if (image.format() != PixelFormat::kRgb24) {
    converted = image.ConvertedTo(PixelFormat::kRgb24);
    if (!converted) return std::nullopt;
    source = &*converted;
  }
  std::optional<Bitmap> result =
      Bitmap::Create(image.width(), image.height(), PixelFormat::kIndexed8);
  if (!result) return std::nullopt;
  QColorQuantizer quantizer;
  if (!quantizer.Quantize(*source, *result, kMaxColors)) return std::nullopt;
  return result;
}

bool QColorQuantizer::Quantize(const Bitmap& source, Bitmap& result, uint32_t maxColors) {
  if (maxColors < kMinColors || source.format() != PixelFormat::kRgb24 ||
      result.format() != PixelFormat::kIndexed8 || source.width() != result.width() ||
      source.height() != result.height()) {
    return false;
  }
  Reset();
  root_ = NewNode(kRootLevel);
  for (int32_t y = 0; y < source.height(); ++y) {
    const uint8_t* p = source.Row(y);
    for (int32_t x = 0; x < source.width(); ++x, p += 3) InsertColor(p[2], p[1], p[0], maxColors);
  }
  std::vector<Argb> palette;
  palette.reserve(leafCount_);
  BuildPalette(root_, palette);
  if (result.SetPalette(std::move(palette), kPaletteHasAlpha) != ImageStatus::kOk) return false;
  for (int32_t y = 0; y < source.height(); ++y) {
    const uint8_t* p = source.Row(y);
    uint8_t* out = result.Row(y);
    for (int32_t x = 0; x < source.width(); ++x, p += 3) out[x] = IndexOf(p[2], p[1], p[0]);
  }
  Reset();
  return true;
}

void QColorQuantizer::Reset() {
  nodes_.clear();
  freeNodes_.clear();
  runs_.clear();
  freeRuns_.clear();
  for (int32_t& run : firstRun_) run = kNone;
  leafCount_ = 0;
  root_ = kNone;
}

int32_t QColorQuantizer::NewNode(uint8_t level) {
  int32_t index;
  if (!freeNodes_.empty()) {
    index = freeNodes_.back();
    freeNodes_.pop_back();
    nodes_[index] = Node{};
  } else {
    index = static_cast<int32_t>(nodes_.size());
    nodes_.emplace_back();
  }
  nodes_[index].level = level;
  return index;
}

int32_t QColorQuantizer::NewRun(uint32_t count) {
  int32_t index;
  if (!freeRuns_.empty()) {
    index = freeRuns_.back();
    freeRuns_.pop_back();
    runs_[index] = Run{};
  } else {
    index = static_cast<int32_t>(runs_.size());
    runs_.emplace_back();
  }
  runs_[index].count = count;
  return index;
}

int32_t QColorQuantizer::InsertRunAfter(uint8_t level, int32_t after, uint32_t count) {
  const int32_t run = NewRun(count);
  Run& r = runs_[run];
  r.prev = after;
  r.next = after == kNone ? firstRun_[level] : runs_[after].next;
  if (r.next != kNone) runs_[r.next].prev = run;
  if (after == kNone) {
    firstRun_[level] = run;
  } else {
    runs_[after].next = run;
  }
  return run;
}

void QColorQuantizer::AddToRun(int32_t node, int32_t run) {
  Node& n = nodes_[node];
  Run& r = runs_[run];
  n.run = run;
  n.prev = r.tail;
  n.next = kNone;
  if (r.tail != kNone) {
    nodes_[r.tail].next = node;
  } else {
    r.head = node;
  }
  r.tail = node;
}

void QColorQuantizer::RemoveFromRun(int32_t node) {
  Node& n = nodes_[node];
  const int32_t run = n.run;
  Run& r = runs_[run];
  if (n.prev != kNone) {
    nodes_[n.prev].next = n.next;
  } else {
    r.head = n.next;
  }
  if (n.next != kNone) {
    nodes_[n.next].prev = n.prev;
  } else {
    r.tail = n.prev;
  }
  n.run = n.prev = n.next = kNone;
  if (r.head != kNone) return;
  // The run is empty: unlink it from its level.
  if (r.prev != kNone) {
    runs_[r.prev].next = r.next;
  } else {
    firstRun_[n.level] = r.next;
  }
  if (r.next != kNone) runs_[r.next].prev = r.prev;
  freeRuns_.push_back(run);
}

void QColorQuantizer::CountPixel(int32_t node) {
  const uint32_t count = ++nodes_[node].count;
  const int32_t run = nodes_[node].run;
  if (run == kNone) return;
  // Behind every node of the new key: at the end of the next run when it has that
  // count, else in a run of its own right after the current one. A node alone in its
  // run with no run of the new count after it keeps its place and its run.
  int32_t target = runs_[run].next;
  const bool alone = runs_[run].head == node && runs_[run].tail == node;
  if (target == kNone || runs_[target].count != count) {
    if (alone) {
      runs_[run].count = count;
      return;
    }
    target = InsertRunAfter(nodes_[node].level, run, count);
  }
  RemoveFromRun(node);
  AddToRun(node, target);
}

void QColorQuantizer::InsertColor(uint8_t r, uint8_t g, uint8_t b, uint32_t maxColors) {
  int32_t node = root_;
  while (!nodes_[node].leaf) {
    CountPixel(node);
    const uint8_t level = nodes_[node].level;
    const int index = ChildIndex(r, g, b, level);
    int32_t child = nodes_[node].children[index];
    if (child == kNone) {
      const auto childLevel = static_cast<uint8_t>(level - 1);
      child = NewNode(childLevel);
      nodes_[node].children[index] = child;
      if (childLevel == 0) {
        nodes_[child].leaf = true;
        ++leafCount_;
      } else {
        // A new node has count 0, the least of its level: at the end of the level's
        // first run when that run counts 0, else in a new run at the front.
        const int32_t first = firstRun_[childLevel];
        AddToRun(child, first != kNone && runs_[first].count == 0
                            ? first
                            : InsertRunAfter(childLevel, kNone, 0));
      }
    }
    node = child;
  }
  Node& leaf = nodes_[node];
  ++leaf.count;
  leaf.red += r;
  leaf.green += g;
  leaf.blue += b;
  while (leafCount_ > maxColors) {
    bool any = false;
    for (int32_t run : firstRun_) any = any || run != kNone;
    if (!any) break;
    FoldFirstReducible();
  }
}

void QColorQuantizer::FoldFirstReducible() {
  int32_t node = kNone;
  for (uint8_t level = 1; level < kRootLevel && node == kNone; ++level) {
    if (firstRun_[level] != kNone) node = runs_[firstRun_[level]].head;
  }
  assert(node != kNone && "folding with an empty reducible list");
  RemoveFromRun(node);
  uint32_t freed = 0;
  // FreeSubtree never grows nodes_, so the reference into it stays valid.
  for (int32_t& child : nodes_[node].children) {
    if (child == kNone) continue;
    nodes_[node].red += nodes_[child].red;
    nodes_[node].green += nodes_[child].green;
    nodes_[node].blue += nodes_[child].blue;
    FreeSubtree(child);
    child = kNone;
    ++freed;
  }
  leafCount_ -= freed;
  nodes_[node].leaf = true;
  ++leafCount_;
}

void QColorQuantizer::FreeSubtree(int32_t node) {
  if (nodes_[node].run != kNone) RemoveFromRun(node);
  for (int32_t child : nodes_[node].children) {
    if (child != kNone) FreeSubtree(child);
  }
  freeNodes_.push_back(node);
}

void QColorQuantizer::BuildPalette(int32_t node, std::vector<Argb>& palette) {
  Node& n = nodes_[node];
  if (n.leaf) {
    const uint64_t count = n.count ? n.count : 1;
    palette.push_back(MakeArgb(255, static_cast<uint8_t>(n.red / count),
                               static_cast<uint8_t>(n.green / count),
                               static_cast<uint8_t>(n.blue / count)));
    n.count = static_cast<uint32_t>(palette.size() - 1);
    return;
  }
  for (int32_t child : n.children) {
    if (child != kNone) BuildPalette(child, palette);
  }
}

uint8_t QColorQuantizer::IndexOf(uint8_t r, uint8_t g, uint8_t b) const {
  int32_t node = root_;
  while (!nodes_[node].leaf) {
    const int32_t child = nodes_[node].children[ChildIndex(r, g, b, nodes_[node].level)];
    if (child == kNone) return 0;
    node = child;
  }
  return static_cast<uint8_t>(nodes_[node].count);
}

}  // namespace qorva
