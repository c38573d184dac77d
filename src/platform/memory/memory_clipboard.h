// A clipboard held in memory, for the tests and the command line. As on Windows, text
// put in one of the text formats is also offered in the other, converted through the
// ANSI code page.
#pragma once

#include <map>

#include "platform/clipboard.h"

namespace qorva {

class System;

class MemoryClipboard final : public Clipboard {
 public:
  explicit MemoryClipboard(const System& system) : system_(system) {}

  std::unique_ptr<ClipboardAccess> Open() override;

  void Clear();
  void SetRegistered(TextView format, std::string bytes) {
    registered_[Text(format)] = std::move(bytes);
  }
  void SetUnicodeText(Text text) { unicodeText_ = std::move(text); }
  void SetAnsiText(std::string bytes) { ansiText_ = std::move(bytes); }
  void SetFiles(std::vector<Text> paths) { files_ = std::move(paths); }
  void SetBitmap(Bitmap bitmap) { bitmap_ = std::move(bitmap); }
  // While another program holds the clipboard, it cannot be opened.
  void SetHeldElsewhere(bool held) { heldElsewhere_ = held; }

  const std::optional<Bitmap>& bitmap() const { return bitmap_; }
  int openCount() const { return openCount_; }

 private:
  class Access;

  const System& system_;
  std::map<Text, std::string> registered_;
  std::optional<Text> unicodeText_;
  std::optional<std::string> ansiText_;
  std::optional<std::vector<Text>> files_;
  std::optional<Bitmap> bitmap_;
  bool heldElsewhere_ = false;
  bool open_ = false;
  int openCount_ = 0;
};

}  // namespace qorva
