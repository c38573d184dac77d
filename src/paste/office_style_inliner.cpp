#include "paste/office_style_inliner.h"

#include <optional>

#include "paste/class_marker_pass.h"
#include "paste/dot_class_single_pass.h"
#include "paste/paste_text.h"

namespace qorva {

namespace {

using Step = ClassMarkerPass::Step;
using QuoteRule = ClassMarkerPass::QuoteRule;
constexpr size_t npos = Text::npos;

}  // namespace

void NormaliseLineStyles(Text& declarations, DotDotDash dotDotDash, uint32_t officeLineFix) {
  ReplaceAll(declarations, u"hairline ", u"dotted ");
  ReplaceAll(declarations, u" hairline;", u" dotted;");
  if (dotDotDash == DotDotDash::kToDotted) {
    ReplaceAll(declarations, u"dot-dot-dash ", u"dotted ");
    ReplaceAll(declarations, u" dot-dot-dash;", u" dotted;");
  }
  if (officeLineFix != 0) {
    DeleteAll(declarations, u"border-left:none;");
    DeleteAll(declarations, u"border-top:none;");
    DeleteAll(declarations, u"border-right:none;");
    DeleteAll(declarations, u"border-bottom:none;");
  }
}

void InlineMsoParagraphStyles(Text& html, const COfficeStyleMap& map) {
  for (const COfficeStyleMap::Entry* entry : map.InOrder()) {
    TextView marker;
    if (Contains(entry->key, u"p.MsoNormal")) {
      marker = u"class=MsoNormal";
    } else if (Contains(entry->key, u"p.MsoListParagraph")) {
      marker = u"class=MsoListParagraph";
    } else {
      continue;
    }
    if (!Contains(html, marker)) continue;
    const ClassMarker m{marker};
    Text value = entry->value;
    ClassMarkerPass pass(std::move(html));
    for (size_t pos = pass.FindMarker(m); pos != npos; pos = pass.FindMarker(m)) {
      if (pass.Apply(pos, m, value, QuoteRule::kKeep) != Step::kNoTagEnd) continue;
      Text withEnd = Text(marker) + u">";
      pass.ReplaceEverywhere(ClassMarker{withEnd}, u"style='" + value + u"'>");
      break;
    }
    html = pass.Take();
  }
}

void InlineDotClassStylesByEntry(Text& html, const COfficeStyleMap& map, DotDotDash dotDotDash,
                                 uint32_t officeLineFix) {
  for (const COfficeStyleMap::Entry* entry : map.InOrder()) {
    if (entry->key.empty() || entry->key[0] != u'.') continue;
    const TextView name = TextView(entry->key).substr(1);
    const Text spaced = u"class=" + Text(name) + u" ";
    const Text bare = u"class=" + Text(name);
    const Text closed = bare + u">";
    if (!Contains(html, spaced) && !Contains(html, closed)) continue;
    // Whole names only: a longer class name that begins with this one is another class.
    const ClassMarker spacedMarker{spaced};
    const ClassMarker bareMarker{bare, ClassMarker::End::kWholeName};
    const ClassMarker closedMarker{closed};
    Text value = entry->value;
    ClassMarkerPass pass(std::move(html));
    const ClassMarker* m = &spacedMarker;
    size_t pos = pass.FindMarker(*m);
    if (pos == npos) {
      pos = pass.FindMarker(closedMarker);
      m = &bareMarker;
    }
    while (pos != npos) {
      NormaliseLineStyles(value, dotDotDash, officeLineFix);
      if (pass.Apply(pos, *m, value, QuoteRule::kKeep) == Step::kNoTagEnd) {
        m = &closedMarker;
        pass.ReplaceEverywhere(closedMarker, u" style='" + value + u"'>");
      }
      pos = pass.FindMarker(*m);
      if (pos == npos) {
        pos = pass.FindMarker(closedMarker);
        m = &bareMarker;
      }
    }
    html = pass.Take();
  }
}

void InlineDotClassStyles(Text& html, const COfficeStyleMap& map, DotDotDash dotDotDash,
                          uint32_t officeLineFix) {
  if (InlineDotClassStylesInOnePass(html, map, dotDotDash, officeLineFix)) return;
  InlineDotClassStylesByEntry(html, map, dotDotDash, officeLineFix);
}

void InlineQuotedClassStyles(Text& html, const COfficeStyleMap& map) {
  for (const COfficeStyleMap::Entry* entry : map.InOrder()) {
    if (!Contains(entry->key, u"p.")) continue;
    Text name = entry->key;
    DeleteAll(name, u"p.");
    Text marker = u"class=\"" + name + u"\"";
    if (!Contains(html, marker)) continue;
    ClassMarker m{marker};
    const Text closed = marker + u">";
    Text value = entry->value;
    ClassMarkerPass pass(std::move(html));
    for (size_t pos = pass.FindMarker(m); pos != npos; pos = pass.FindMarker(m)) {
      if (pass.Apply(pos, m, value, QuoteRule::kQuotesToApostrophes) != Step::kNoTagEnd) continue;
      m = ClassMarker{closed};
      pass.ReplaceEverywhere(m, u"style='" + value + u"'>");
    }
    html = pass.Take();
  }
}

}  // namespace qorva
