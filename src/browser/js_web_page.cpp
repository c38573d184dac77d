#include "browser/js_web_page.h"

#include "platform/embedded_browser.h"

namespace qorva {

namespace {

constexpr TextView kErrorPrefix = u"JSCall Error:\n";
constexpr TextView kNullPointer = u"NULL pointer";
constexpr TextView kNoScript = u"Cannot GetScript";
// The system had no text for the failure code.
constexpr TextView kNoSystemText = u"FormatMessage Netive Error";

}  // namespace

Variant PageValueToVariant(const PageValue& value) {
  switch (value.kind) {
    case PageValue::Kind::kString:
      return Variant::String(value.text);
    case PageValue::Kind::kInteger:
      return Variant::Int(value.integer);
    case PageValue::Kind::kDouble:
      return Variant::Double(value.number);
    case PageValue::Kind::kBoolean:
      return Variant::Bool(value.boolean);
    case PageValue::Kind::kEmpty:
      break;
  }
  return Variant::Empty();
}

void CJSWebPage::SetLastError(TextView detail) {
  lastError_ = Text(kErrorPrefix);
  lastError_ += detail;
}

bool CJSWebPage::SetDocument(std::shared_ptr<PageDocument> document) {
  if (!document) {
    SetLastError(kNullPointer);
    return false;
  }
  document_ = std::move(document);
  return true;
}

bool CJSWebPage::CallPageFunction(TextView name, std::span<const Text> arguments, Variant* result) {
  if (!document_) {
    SetLastError(kNullPointer);
    SetLastError(kNoScript);
    return false;
  }
  PageCallOutcome outcome = document_->CallFunction(name, arguments);
  switch (outcome.status) {
    case PageCallStatus::kNoScript:
      SetLastError(kNoScript);
      return false;
    case PageCallStatus::kFailed:
      SetLastError(outcome.failureText.empty() ? kNoSystemText : TextView(outcome.failureText));
      return false;
    case PageCallStatus::kOk:
      break;
  }
  if (result) *result = PageValueToVariant(outcome.value);
  return true;
}

}  // namespace qorva
