#include "support/variant.h"

#include <utility>

namespace qorva {

Variant Variant::Int(int32_t value) {
  Variant v = WithTag(kVtI4);
  v.i4 = value;
  return v;
}

Variant Variant::Uint(uint32_t value) {
  Variant v = WithTag(kVtUi4);
  v.ui4 = value;
  return v;
}

Variant Variant::Double(double value) {
  Variant v = WithTag(kVtR8);
  v.r8 = value;
  return v;
}

Variant Variant::Bool(bool value) {
  Variant v = WithTag(kVtBool);
  v.boolean = value;
  return v;
}

Variant Variant::String(Text value) {
  Variant v = WithTag(kVtBstr);
  v.text = std::move(value);
  return v;
}

Variant Variant::IntRef(const int32_t* value) {
  Variant v = WithTag(kVtByRef | kVtI4);
  v.ref = value;
  return v;
}

Variant Variant::DoubleRef(const double* value) {
  Variant v = WithTag(kVtByRef | kVtR8);
  v.ref = value;
  return v;
}

Variant Variant::StringRef(const Text* value) {
  Variant v = WithTag(kVtByRef | kVtBstr);
  v.ref = value;
  return v;
}

Variant Variant::Dereferenced() const {
  if (!IsByRef()) return *this;
  switch (tag & ~kVtByRef) {
    case kVtI4:
      return ref ? Int(*static_cast<const int32_t*>(ref)) : Empty();
    case kVtR8:
      return ref ? Double(*static_cast<const double*>(ref)) : Empty();
    case kVtBstr:
      return String(ref ? *static_cast<const Text*>(ref) : Text());
    default:
      return Empty();
  }
}

Text VariantToText(const Variant& value) {
  switch (value.tag) {
    case kVtI4:
    case kVtByRef | kVtI4:
    case kVtR8:
    case kVtByRef | kVtR8:
    case kVtBstr:
    case kVtByRef | kVtBstr:
      break;
    default:
      return {};
  }
  Variant direct = value.Dereferenced();
  switch (direct.tag) {
    case kVtI4:
      return FormatText("%d", direct.i4);
    case kVtR8:
      return FormatText("%f", direct.r8);
    case kVtBstr:
      return direct.text;
    default:
      return {};  // a null numeric reference
  }
}

}  // namespace qorva
