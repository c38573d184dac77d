// The octree colour quantiser written step by step as the rules state it: one linked
// reducible list, walked from its head to find a node's sorted place at every move.
// Slow on purpose; the tests and the benchmark hold the fast one against it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "graphics/bitmap.h"

namespace qorva::literal {

struct Node {
  int level = 0;
  bool leaf = false;
  uint32_t count = 0;
  uint64_t red = 0;
  uint64_t green = 0;
  uint64_t blue = 0;
  Node* children[8] = {};
  Node* prevReducible = nullptr;
  Node* nextReducible = nullptr;
  bool inList = false;
};

class Quantizer {
 public:
  ~Quantizer() { Free(root_); }

  // The palette and indices for a kRgb24 `source`; none when maxColors is below 8.
  std::optional<Bitmap> Run(const Bitmap& source, uint32_t maxColors) {
    if (maxColors < 8) return std::nullopt;
    root_ = new Node;
    root_->level = 7;
    for (int32_t y = 0; y < source.height(); ++y) {
      const uint8_t* p = source.Row(y);
      for (int32_t x = 0; x < source.width(); ++x, p += 3) {
        Insert(p[2], p[1], p[0]);
        while (leafCount_ > maxColors && head_) Fold();
      }
    }
    std::vector<Argb> palette;
    Number(root_, palette);
    std::optional<Bitmap> out =
        Bitmap::Create(source.width(), source.height(), PixelFormat::kIndexed8);
    if (!out || out->SetPalette(palette, 1) != ImageStatus::kOk) return std::nullopt;
    for (int32_t y = 0; y < source.height(); ++y) {
      const uint8_t* p = source.Row(y);
      for (int32_t x = 0; x < source.width(); ++x, p += 3) {
        Node* node = root_;
        while (!node->leaf) node = node->children[Child(p[2], p[1], p[0], node->level)];
        out->Row(y)[x] = static_cast<uint8_t>(node->count);
      }
    }
    return out;
  }

 private:
  static int Child(uint8_t r, uint8_t g, uint8_t b, int level) {
    return ((r >> level) & 1) * 4 + ((g >> level) & 1) * 2 + ((b >> level) & 1);
  }

  void Unlink(Node* node) {
    if (node->prevReducible) {
      node->prevReducible->nextReducible = node->nextReducible;
    } else {
      head_ = node->nextReducible;
    }
    if (node->nextReducible) {
      node->nextReducible->prevReducible = node->prevReducible;
    } else {
      tail_ = node->prevReducible;
    }
    node->prevReducible = node->nextReducible = nullptr;
    node->inList = false;
  }

  void Append(Node* node) {
    node->prevReducible = tail_;
    node->nextReducible = nullptr;
    if (tail_) {
      tail_->nextReducible = node;
    } else {
      head_ = node;
    }
    tail_ = node;
    node->inList = true;
  }

  // In front of the first node of greater level, or of equal level and greater count.
  void MoveToSortedPlace(Node* node) {
    Unlink(node);
    Node* before = head_;
    while (before && !(before->level > node->level ||
                       (before->level == node->level && before->count > node->count))) {
      before = before->nextReducible;
    }
    if (!before) {
      Append(node);
      return;
    }
    node->nextReducible = before;
    node->prevReducible = before->prevReducible;
    if (before->prevReducible) {
      before->prevReducible->nextReducible = node;
    } else {
      head_ = node;
    }
    before->prevReducible = node;
    node->inList = true;
  }

  void Insert(uint8_t r, uint8_t g, uint8_t b) {
    Node* node = root_;
    while (!node->leaf) {
      node->count += 1;
      if (node->inList) MoveToSortedPlace(node);
      int index = Child(r, g, b, node->level);
      if (!node->children[index]) {
        Node* child = new Node;
        child->level = node->level - 1;
        node->children[index] = child;
        if (child->level == 0) {
          child->leaf = true;
          leafCount_ += 1;
        } else {
          Append(child);
          MoveToSortedPlace(child);
        }
      }
      node = node->children[index];
    }
    node->count += 1;
    node->red += r;
    node->green += g;
    node->blue += b;
  }

  void Fold() {
    Node* node = head_;
    Unlink(node);
    uint32_t freed = 0;
    for (Node*& child : node->children) {
      if (!child) continue;
      node->red += child->red;
      node->green += child->green;
      node->blue += child->blue;
      Free(child);
      child = nullptr;
      freed += 1;
    }
    leafCount_ -= freed;
    node->leaf = true;
    leafCount_ += 1;
  }

  void Number(Node* node, std::vector<Argb>& palette) {
    if (node->leaf) {
      palette.push_back(MakeArgb(255, static_cast<uint8_t>(node->red / node->count),
                                 static_cast<uint8_t>(node->green / node->count),
                                 static_cast<uint8_t>(node->blue / node->count)));
      node->count = static_cast<uint32_t>(palette.size() - 1);
      return;
    }
    for (Node* child : node->children) {
      if (child) Number(child, palette);
    }
  }

  void Free(Node* node) {
    if (!node) return;
    if (node->inList) Unlink(node);
    for (Node* child : node->children) Free(child);
    delete node;
  }

  Node* root_ = nullptr;
  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  uint32_t leafCount_ = 0;
};

inline std::optional<Bitmap> Quantize(const Bitmap& rgb24, uint32_t maxColors = 256) {
  Quantizer quantizer;
  return quantizer.Run(rgb24, maxColors);
}

}  // namespace qorva::literal
