#include "control/dispatch_table.h"

#include <gtest/gtest.h>

#include <set>

#include "control_scene.h"
#include "support/encoding.h"

namespace qorva {
namespace {

TEST(DispatchTable, HoldsTheInterfaceWithUniqueIdsAndNames) {
  const std::pair<std::string_view, int32_t> properties[] = {{"uploadType", 1},
                                                             {"saveFileType", 2},
                                                             {"serverDomain", 3},
                                                             {"toSavePathUrl", 4},
                                                             {"saveFolderNameRule", 5},
                                                             {"saveFileNameRule", 6},
                                                             {"postPageURL", 9},
                                                             {"accessibility", 15},
                                                             {"imagePropStyle", 19},
                                                             {"mimeVersion", 30},
                                                             {"trustSites", 32},
                                                             {"mimeCharset", 34},
                                                             {"mimeConentEncodingType", 35},
                                                             {"mimeFileTypeFilter", 36},
                                                             {"mimeLocalOnly", 37},
                                                             {"mimeRemoveHeader", 38},
                                                             {"hasContainer", 41},
                                                             {"width", 47},
                                                             {"height", 48},
                                                             {"qorvaEditorInitURL", 49},
                                                             {"openDialogTitle", 50},
                                                             {"mimeBaseURL", 51},
                                                             {"openDialogType", 52},
                                                             {"imgDefaultWidth", 53},
                                                             {"imgDefaultHeight", 54},
                                                             {"openDialogInitDir", 55},
                                                             {"officeLineFix", 58},
                                                             {"systemTitle", 59},
                                                             {"useLog", 63}};
  const std::pair<std::string_view, int32_t> methods[] = {{"getPasteHtml", 10},
                                                          {"postImageToServer", 11},
                                                          {"setQorvaInit", 12},
                                                          {"setScreenCapture", 13},
                                                          {"showImageProperty", 14},
                                                          {"QorvaEncodeMine", 16},
                                                          {"SetToSavePathURL", 20},
                                                          {"SetFolderNameRule", 21},
                                                          {"SetImagePropMode", 22},
                                                          {"SetServerDomain", 23},
                                                          {"doPrintPreview", 24},
                                                          {"doPrintDirect", 25},
                                                          {"doSaveHTML", 26},
                                                          {"getImageWidthHeight", 27},
                                                          {"QorvaEncodeMime", 28},
                                                          {"QorvaDecodeMime", 29},
                                                          {"getQorvaPluginVersion", 31},
                                                          {"mimeSetListInit", 39},
                                                          {"mimeAddEncodingFile", 40},
                                                          {"QORVAGetMethod", 43},
                                                          {"QORVASetMethod", 44},
                                                          {"QORVASetMethod2", 45},
                                                          {"QORVASetMethod3", 46},
                                                          {"getHTMLFormatFromType", 56},
                                                          {"getPasteHtmlEx", 57},
                                                          {"getLocalImageFromBase64Image", 60},
                                                          {"canPasteImageFromClipBoard", 61},
                                                          {"ShowImageSaveDlgFromClipboard", 62},
                                                          {"getOriginalHtml", 64}};
  EXPECT_EQ(DispatchTable().size(), std::size(properties) + std::size(methods));
  for (const auto& [name, id] : properties) {
    const DispatchEntry* entry = FindDispatchEntry(id);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->name, name);
    EXPECT_EQ(entry->kind, MemberKind::kProperty) << name;
  }
  for (const auto& [name, id] : methods) {
    const DispatchEntry* entry = FindDispatchEntry(id);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->name, name);
    EXPECT_EQ(entry->kind, MemberKind::kMethod) << name;
  }
  EXPECT_EQ(FindDispatchEntry(14)->args.size(), 12u);
  EXPECT_EQ(FindDispatchEntry(63)->type, ValueType::kInt);
  EXPECT_EQ(FindDispatchEntry(41)->type, ValueType::kUint);
  EXPECT_EQ(FindDispatchEntry(56)->type, ValueType::kUint);
  EXPECT_EQ(FindDispatchEntry(61)->type, ValueType::kInt);
  EXPECT_EQ(FindDispatchEntry(7), nullptr);
}

TEST(DispatchTable, GuardsAsDeclared) {
  const std::set<std::string_view> guardA = {
      "getPasteHtml",     "postImageToServer",     "showImageProperty", "QorvaEncodeMine",
      "SetToSavePathURL", "SetFolderNameRule",     "SetImagePropMode",  "SetServerDomain",
      "doPrintPreview",   "doPrintDirect",         "doSaveHTML",        "getImageWidthHeight",
      "QorvaEncodeMime",  "getQorvaPluginVersion", "mimeSetListInit",   "mimeAddEncodingFile"};
  const std::set<std::string_view> guardB = {"QORVAGetMethod", "QORVASetMethod", "QORVASetMethod2",
                                             "QORVASetMethod3"};
  for (const DispatchEntry& entry : DispatchTable()) {
    Guard expected = guardA.contains(entry.name)   ? Guard::kNotInContainer
                     : guardB.contains(entry.name) ? Guard::kContainerOnly
                                                   : Guard::kNone;
    EXPECT_EQ(entry.guard, expected) << entry.name;
  }
}

TEST(DispatchTable, NamesMatchWithoutRegardToCase) {
  EXPECT_EQ(FindDispatchEntry(u"GETPASTEHTML")->id, 10);
  EXPECT_EQ(FindDispatchEntry(u"qorvagetmethod")->id, 43);
  EXPECT_EQ(FindDispatchEntry(u"getPasteHtm"), nullptr);
  EXPECT_EQ(FindDispatchEntry(u""), nullptr);
}

TEST(Guards, RefuseInTheWrongModeWithTheirMessage) {
  ControlScene scene;
  scene.Load({{u"hasContainer", u"1"}, {u"systemTitle", u"Title"}});
  InvokeResult refused = scene.Call(u"getQorvaPluginVersion");
  EXPECT_EQ(refused.status, DispatchStatus::kOk);
  EXPECT_EQ(refused.value.tag, kVtBstr);
  EXPECT_EQ(refused.value.text, u"");
  ASSERT_EQ(scene.ui.shown().size(), 1u);
  EXPECT_EQ(scene.ui.shown()[0].text, u"Container 모드에서는 사용할 수 없는 메소드입니다.");
  EXPECT_EQ(scene.ui.shown()[0].caption, u"Title");
  EXPECT_EQ(scene.ui.shown()[0].buttons, MessageButtons::kOk);

  // Guard B passes in container mode; with no page loaded the result is empty.
  scene.ui.ClearShown();
  EXPECT_EQ(scene.Call(u"QORVAGetMethod", {Variant::String(u"f")}).value.text, u"");
  EXPECT_TRUE(scene.ui.shown().empty());

  // Writing hasContainer switches the guards at once.
  EXPECT_EQ(scene.Put(u"hasContainer", Variant::Int(0)), DispatchStatus::kOk);
  EXPECT_EQ(scene.Call(u"getQorvaPluginVersion").value.text, u"1,0,0,116");
  EXPECT_EQ(scene.Call(u"QORVAGetMethod", {Variant::String(u"f")}).value.text, u"");
  ASSERT_EQ(scene.ui.shown().size(), 1u);
  EXPECT_EQ(scene.ui.shown()[0].text, u"Container 모드에서만 사용할 수 있는 메소드입니다.");
}

TEST(Guards, MethodsWithoutResultAnswerNothing) {
  ControlScene scene;
  scene.Load({{u"hasContainer", u"1"}});
  InvokeResult result = scene.Call(u"mimeSetListInit");
  EXPECT_EQ(result.value.tag, kVtEmpty);
  EXPECT_EQ(scene.ui.shown().size(), 1u);
}

TEST(Methods, SlowMethodsShowTheWaitCursorWhileTheyRun) {
  ControlScene scene;
  scene.Load();
  scene.Call(u"getPasteHtml");
  scene.Call(u"getPasteHtmlEx");
  scene.Call(u"getQorvaPluginVersion");
  scene.Get(u"mimeCharset");
  EXPECT_EQ(scene.ui.waitCursorsShown(), 2);
  EXPECT_FALSE(scene.ui.waitCursorShowing());
}

TEST(Methods, SetQorvaInitIsEmptyInBothModesAndMakesTheWindow) {
  for (const char16_t* mode : {u"0", u"1"}) {
    ControlScene scene;
    scene.Load({{u"hasContainer", mode}});
    InvokeResult result = scene.Call(u"setQorvaInit");
    EXPECT_EQ(result.value.tag, kVtBstr);
    EXPECT_EQ(result.value.text, u"");
    EXPECT_TRUE(scene.site.windowCreated());
    EXPECT_TRUE(scene.ui.shown().empty());
  }
}

TEST(Methods, GetOriginalHtmlAloneLeavesTheWindowAlone) {
  ControlScene scene;
  scene.Load();
  scene.Call(u"getOriginalHtml", {Variant::String(u"Fragment")});
  EXPECT_FALSE(scene.site.windowCreated());
  scene.Call(u"getPasteHtmlEx");
  EXPECT_TRUE(scene.site.windowCreated());
}

TEST(Methods, VersionWithoutAVersionBlockIsEmpty) {
  ControlScene scene;
  scene.system.version = std::nullopt;
  scene.Load();
  EXPECT_EQ(scene.Call(u"getQorvaPluginVersion").value.text, u"");
}

TEST(Invoke, CountsAndCoercesArguments) {
  ControlScene scene;
  scene.Load();
  EXPECT_EQ(scene.Call(u"getPasteHtml", {Variant::String(u"x")}).status,
            DispatchStatus::kBadParamCount);
  EXPECT_EQ(scene.Call(u"postImageToServer").status, DispatchStatus::kBadParamCount);
  InvokeResult mismatch =
      scene.Call(u"mimeAddEncodingFile", {Variant::String(u"a.png"), Variant::String(u"zero")});
  EXPECT_EQ(mismatch.status, DispatchStatus::kTypeMismatch);
  EXPECT_EQ(mismatch.badArgument, 1u);
  // A number for a string parameter becomes its text.
  EXPECT_EQ(scene.Call(u"SetToSavePathURL", {Variant::Int(42)}).status, DispatchStatus::kOk);
  EXPECT_EQ(SettingsSnapshot().toSavePathUrl, u"42");
  EXPECT_EQ(scene.Call(u"getPasteHtml", {}, kInvokePropertyPut).status,
            DispatchStatus::kMemberNotFound);
  EXPECT_EQ(Invoke(scene.control, 999, kInvokeMethod, {}).status, DispatchStatus::kMemberNotFound);
}

TEST(Invoke, MemberPropertiesReadAndWriteThePlainField) {
  ControlScene scene;
  scene.Load();
  EXPECT_EQ(scene.Put(u"useLog", Variant::String(u"-3")), DispatchStatus::kOk);
  EXPECT_EQ(scene.control.useLog, -3);
  EXPECT_FALSE(SettingsSnapshot().useLog);
  EXPECT_EQ(scene.Put(u"mimeCharset", Variant::Double(8.5)), DispatchStatus::kOk);
  EXPECT_EQ(scene.Get(u"mimeCharset").text, u"8.5");
  EXPECT_EQ(scene.Get(u"MIMECHARSET").text, u"8.5");
  EXPECT_EQ(scene.Call(u"mimeCharset", {}, kInvokeMethod).value.text, u"8.5");
  EXPECT_EQ(
      scene.Call(u"mimeCharset", {Variant::Int(1), Variant::Int(2)}, kInvokePropertyPut).status,
      DispatchStatus::kBadParamCount);
  EXPECT_FALSE(scene.site.windowCreated());  // plain fields do not need the window
}

}  // namespace
}  // namespace qorva
