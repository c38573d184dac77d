// Octree colour quantisation: turns a picture into an 8-bit indexed bitmap with at most
// 256 colours, as GIF files need.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "graphics/bitmap.h"

namespace qorva {

// A new 8-bit indexed bitmap of the same size with at most 256 palette entries; none
// when memory runs out. A picture that is not kRgb24 is first drawn onto black.
std::optional<Bitmap> QuantizeToIndexed(const Bitmap& image);

// The octree behind QuantizeToIndexed. Nodes carry a level (7 at the root, 0 for
// leaves), a pixel count and colour sums. Inner nodes below the root wait in a
// reducible list kept in ascending order of (level, count), a node whose count grows
// moving behind every node of its new key; whenever the tree holds more than the
// maximum number of leaves, the first node of the list is folded into a leaf. The
// list is held as runs of equal key, so a move costs constant time.
class QColorQuantizer {
 public:
  // Fills `result` (an 8-bit indexed bitmap of the size of `source`, a kRgb24 bitmap)
  // with the palette and the indices; false when `maxColors` is below 8 or the sizes
  // or formats do not fit.
  bool Quantize(const Bitmap& source, Bitmap& result, uint32_t maxColors);

 private:
  static constexpr int32_t kNone = -1;

  struct Node {
    uint64_t red = 0;
    uint64_t green = 0;
    uint64_t blue = 0;
    uint32_t count = 0;  // pixels, or the palette index once the palette is built
    int32_t children[8] = {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
    int32_t run = kNone;  // the run of the reducible list holding the node, if any
    int32_t prev = kNone;
    int32_t next = kNone;
    uint8_t level = 0;
    bool leaf = false;
  };
  // Nodes of one level with one count, in list order; runs of a level in count order.
  struct Run {
    uint32_t count = 0;
    int32_t head = kNone;
    int32_t tail = kNone;
    int32_t prev = kNone;
    int32_t next = kNone;
  };

  void Reset();
  int32_t NewNode(uint8_t level);
  int32_t NewRun(uint32_t count);
  void InsertColor(uint8_t r, uint8_t g, uint8_t b, uint32_t maxColors);
  void AddToRun(int32_t node, int32_t run);
  void RemoveFromRun(int32_t node);
  // Makes a run of `count` at level `level` right after `after` (kNone: at the front).
  int32_t InsertRunAfter(uint8_t level, int32_t after, uint32_t count);
  void CountPixel(int32_t node);
  void FoldFirstReducible();
  void FreeSubtree(int32_t node);
  void BuildPalette(int32_t node, std::vector<Argb>& palette);
  uint8_t IndexOf(uint8_t r, uint8_t g, uint8_t b) const;

  std::vector<Node> nodes_;
  std::vector<int32_t> freeNodes_;
  std::vector<Run> runs_;
  std::vector<int32_t> freeRuns_;
  int32_t firstRun_[8] = {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
  uint32_t leafCount_ = 0;
  int32_t root_ = kNone;
};

}  // namespace qorva
