#include "paste/paste_text.h"

namespace qorva {

size_t LastOccurrence(TextView text, TextView x) {
  if (x.empty()) return TextView::npos;
  size_t last = TextView::npos;
  for (size_t pos = text.find(x); pos != TextView::npos; pos = text.find(x, pos + x.size())) {
    last = pos;
  }
  return last;
}

bool Contains(TextView text, TextView x) { return text.find(x) != TextView::npos; }

bool IsClassNameUnit(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
         (unit >= u'0' && unit <= u'9') || unit == u'-' || unit == u'_' || unit >= 0x80;
}

}  // namespace qorva
