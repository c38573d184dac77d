// The page script bridge: holds the editor page's document and calls its script
// functions by name with string arguments, keeping the text of its last failure.
#pragma once

#include <memory>
#include <span>

#include "base/text.h"
#include "support/variant.h"

namespace qorva {

class PageDocument;
struct PageValue;

// The automation value a page function's result becomes.
Variant PageValueToVariant(const PageValue& value);

class CJSWebPage {
 public:
  // Takes the document of a newly loaded page, releasing the one held so far. With no
  // document: last error "NULL pointer", false.
  bool SetDocument(std::shared_ptr<PageDocument> document);
  // Calls `name` with `arguments` in order and stores what it returns in `result` when
  // one is asked for. False, with the last error set, when no document is held, the
  // document has no script, the name is unknown or the call fails.
  bool CallPageFunction(TextView name, std::span<const Text> arguments, Variant* result);
  // "JSCall Error:\n" and the detail of the last failure; "" until one happens.
  const Text& LastErrorText() const { return lastError_; }

 private:
  void SetLastError(TextView detail);

  std::shared_ptr<PageDocument> document_;
  Text lastError_;
};

}  // namespace qorva
