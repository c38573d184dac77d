#include "mime/mime_codec_registry.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace qorva {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

template <typename Factory>
class NameRegistry {
 public:
  void Register(std::string_view name, Factory factory) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const Entry& e) { return SameName(e.name, name); });
    if (factory) entries_.push_back({std::string(name), factory});
  }

  Factory Find(std::string_view name) const {
    std::lock_guard lock(mutex_);
    for (const Entry& e : entries_) {
      if (SameName(e.name, name)) return e.factory;
    }
    return nullptr;
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  struct Entry {
    std::string name;
    Factory factory;
  };
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

template <typename T>
std::unique_ptr<CMimeCodeBase> MakeTransfer() {
  return std::make_unique<T>();
}
template <typename T>
std::unique_ptr<CFieldCodeBase> MakeField() {
  return std::make_unique<T>();
}

std::atomic<bool> foldingEnabled{false};

NameRegistry<TransferCodecFactory>& TransferCodecs() {
  static NameRegistry<TransferCodecFactory> registry;
  return registry;
}

NameRegistry<FieldCodecFactory>& FieldCodecs() {
  static NameRegistry<FieldCodecFactory> registry;
  return registry;
}

void FillAtModuleStart() {
  auto& transfer = TransferCodecs();
  transfer.Clear();
  transfer.Register("quoted-printable", &MakeTransfer<CMimeCodeQP>);
  transfer.Register("base64", &MakeTransfer<CMimeCodeBase64>);

  auto& fields = FieldCodecs();
  fields.Clear();
  for (const char* name : {"Subject", "Comments", "Content-Description"}) {
    fields.Register(name, &MakeField<CFieldCodeText>);
  }
  for (const char* name : {"From", "To", "Resent-To", "Cc", "Resent-Cc", "Bcc", "Resent-Bcc",
                           "Reply-To", "Resent-Reply-To"}) {
    fields.Register(name, &MakeField<CFieldCodeAddress>);
  }
  for (const char* name : {"Content-Type", "Content-Disposition"}) {
    fields.Register(name, &MakeField<CFieldCodeParameter>);
  }
  foldingEnabled = false;
}

// The registries are filled before the first lookup, whichever comes first.
void EnsureFilled() {
  static std::once_flag once;
  std::call_once(once, FillAtModuleStart);
}

}  // namespace

std::unique_ptr<CMimeCodeBase> TransferCodecFor(std::string_view name) {
  EnsureFilled();
  if (name.empty()) name = "7bit";
  if (TransferCodecFactory factory = TransferCodecs().Find(name)) return factory();
  return std::make_unique<CMimeCodeBase>();
}

std::unique_ptr<CFieldCodeBase> FieldCodecFor(std::string_view fieldName) {
  EnsureFilled();
  if (FieldCodecFactory factory = FieldCodecs().Find(fieldName)) return factory();
  return std::make_unique<CFieldCodeBase>();
}

void RegisterTransferCodec(std::string_view name, TransferCodecFactory factory) {
  EnsureFilled();
  TransferCodecs().Register(name, factory);
}

void RegisterFieldCodec(std::string_view fieldName, FieldCodecFactory factory) {
  EnsureFilled();
  FieldCodecs().Register(fieldName, factory);
}

void EnableHeaderFolding() {
  EnsureFilled();
  foldingEnabled = true;
  RegisterTransferCodec("7bit", &MakeTransfer<CMimeCode7bit>);
  RegisterTransferCodec("8bit", &MakeTransfer<CMimeCode7bit>);
}

bool HeaderFoldingEnabled() { return foldingEnabled; }

void ResetMimeCodecRegistries() {
  EnsureFilled();
  FillAtModuleStart();
}

}  // namespace qorva
