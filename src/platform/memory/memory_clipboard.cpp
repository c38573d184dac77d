#include "platform/memory/memory_clipboard.h"

#include "support/encoding.h"

namespace qorva {

class MemoryClipboard::Access final : public ClipboardAccess {
 public:
  explicit Access(MemoryClipboard& board) : board_(board) {
    board_.open_ = true;
    ++board_.openCount_;
  }
  ~Access() override { board_.open_ = false; }

  bool IsAvailable(StandardFormat format) override {
    switch (format) {
      case StandardFormat::kUnicodeText:
      case StandardFormat::kText:
      case StandardFormat::kOemText:
        return board_.unicodeText_ || board_.ansiText_;
      case StandardFormat::kFileDrop:
        return board_.files_.has_value();
      case StandardFormat::kBitmap:
        return board_.bitmap_.has_value();
    }
    return false;
  }
  bool IsAvailable(TextView format) override { return board_.registered_.contains(Text(format)); }
  std::optional<std::string> RegisteredData(TextView format) override {
    auto it = board_.registered_.find(Text(format));
    if (it == board_.registered_.end()) return std::nullopt;
    return it->second;
  }
  std::optional<Text> UnicodeText() override {
    if (board_.unicodeText_) return board_.unicodeText_;
    if (board_.ansiText_) return FromAnsi(board_.system_, *board_.ansiText_);
    return std::nullopt;
  }
  std::optional<std::string> AnsiText() override {
    if (board_.ansiText_) return board_.ansiText_;
    if (board_.unicodeText_) return ToAnsi(board_.system_, *board_.unicodeText_);
    return std::nullopt;
  }
  std::optional<std::vector<Text>> DroppedFiles() override { return board_.files_; }
  std::optional<Bitmap> GetBitmap() override { return board_.bitmap_; }
  bool PutBitmap(const Bitmap& bitmap) override {
    board_.Clear();
    board_.bitmap_ = bitmap;
    return true;
  }

 private:
  MemoryClipboard& board_;
};

std::unique_ptr<ClipboardAccess> MemoryClipboard::Open() {
  if (heldElsewhere_ || open_) return nullptr;
  return std::make_unique<Access>(*this);
}

void MemoryClipboard::Clear() {
  registered_.clear();
  unicodeText_.reset();
  ansiText_.reset();
  files_.reset();
  bitmap_.reset();
}

}  // namespace qorva
