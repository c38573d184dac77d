#include "browser/page_script.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace qorva {

namespace {

constexpr TextView kUnknownName = u"Unknown name.";

std::optional<PageValue> ReadNumber(TextView text) {
  PageValue value;
  value.kind = PageValue::Kind::kDouble;
  if (text == u"NaN") {
    value.number = std::numeric_limits<double>::quiet_NaN();
    return value;
  }
  if (text == u"Infinity" || text == u"-Infinity") {
    value.number = std::numeric_limits<double>::infinity() * (text[0] == u'-' ? -1 : 1);
    return value;
  }
  std::string ascii;
  for (char16_t unit : text) {
    if (unit > 0x7f) return std::nullopt;
    ascii.push_back(static_cast<char>(unit));
  }
  if (ascii.empty()) return std::nullopt;
  double number = 0;
  auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), number);
  if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
  value.number = number;
  if (std::trunc(number) == number && number >= std::numeric_limits<int32_t>::min() &&
      number <= std::numeric_limits<int32_t>::max()) {
    value.kind = PageValue::Kind::kInteger;
    value.integer = static_cast<int32_t>(number);
  }
  return value;
}

}  // namespace

std::string QuoteForScript(TextView text) {
  std::string quoted = "\"";
  for (char16_t unit : text) {
    if (unit == u'"' || unit == u'\\') {
      quoted += '\\';
      quoted += static_cast<char>(unit);
    } else if (unit >= 0x20 && unit < 0x7f) {
      quoted += static_cast<char>(unit);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
      quoted += escape;
    }
  }
  quoted += '"';
  return quoted;
}

std::string PageCallScript(TextView name, std::span<const Text> arguments) {
  std::string list = "[";
  for (const Text& argument : arguments) {
    if (list.size() > 1) list += ',';
    list += QuoteForScript(argument);
  }
  list += ']';
  // The global is looked up by name, so a name is never evaluated as script.
  return "(function(n,a){var f=window[n];"
         "if(typeof f!=='function')return 'x:';"
         "var r=f.apply(window,a),t=typeof r;"
         "if(t==='string')return 's:'+r;"
         "if(t==='number')return 'n:'+String(r);"
         "if(t==='boolean')return r?'b:1':'b:0';"
         "if(r===undefined||r===null)return 'u:';"
         "return 'o:';})(" +
         QuoteForScript(name) + "," + list + ")";
}

std::optional<PageCallOutcome> ReadPageCallAnswer(TextView answer) {
  if (answer.size() < 2 || answer[1] != u':') return std::nullopt;
  TextView rest = answer.substr(2);
  PageCallOutcome outcome;
  outcome.status = PageCallStatus::kOk;
  switch (answer[0]) {
    case u's':
      outcome.value.kind = PageValue::Kind::kString;
      outcome.value.text = Text(rest);
      return outcome;
    case u'n': {
      std::optional<PageValue> number = ReadNumber(rest);
      if (!number) return std::nullopt;
      outcome.value = *number;
      return outcome;
    }
    case u'b':
      if (rest != u"1" && rest != u"0") return std::nullopt;
      outcome.value.kind = PageValue::Kind::kBoolean;
      outcome.value.boolean = rest == u"1";
      return outcome;
    case u'u':
    case u'o':
      if (!rest.empty()) return std::nullopt;
      return outcome;
    case u'x':
      if (!rest.empty()) return std::nullopt;
      outcome.status = PageCallStatus::kFailed;
      outcome.failureText = Text(kUnknownName);
      return outcome;
    default:
      return std::nullopt;
  }
}

}  // namespace qorva
