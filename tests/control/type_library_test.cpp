// The .idl the Windows build compiles, the dispatch table and the class ids must agree.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "control/class_ids.h"
#include "control/control_events.h"
#include "control/dispatch_table.h"
#include "support/encoding.h"

namespace qorva {
namespace {

std::string ReadIdl() {
  std::ifstream in(QORVA_SOURCE_DIR "/src/win32/activex/qorvaeditor.idl");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string IdlType(ValueType type) {
  switch (type) {
    case ValueType::kString:
      return "BSTR";
    case ValueType::kInt:
      return "long";
    case ValueType::kUint:
      return "unsigned long";
    case ValueType::kNone:
      break;
  }
  return "void";
}

// The body of the dispinterface named `name`.
std::string Interface(const std::string& idl, const std::string& name) {
  size_t start = idl.find("dispinterface " + name + "\n");
  EXPECT_NE(start, std::string::npos) << name;
  if (start == std::string::npos) return {};
  size_t end = idl.find("};", start);
  return idl.substr(start, end - start);
}

// The uuid in the attribute list just before `declaration`.
std::string UuidBefore(const std::string& idl, const std::string& declaration) {
  size_t at = idl.find(declaration);
  if (at == std::string::npos) return "<missing " + declaration + ">";
  size_t uuid = idl.rfind("uuid(", at);
  return "{" + idl.substr(uuid + 5, 36) + "}";
}

TEST(TypeLibrary, DeclaresEveryMemberOfTheTableWithItsIdAndTypes) {
  std::string idl = ReadIdl();
  ASSERT_FALSE(idl.empty());
  std::string body = Interface(idl, "_Dqorvaeditor");
  size_t methods = body.find("methods:");
  ASSERT_NE(methods, std::string::npos);
  std::string properties = body.substr(0, methods);
  std::string methodText = body.substr(methods);

  std::regex line(R"(\[id\((\d+)\)\] ([A-Za-z ]+?) (\w+)(\(([^)]*)\))?;)");
  std::map<std::string, std::smatch> declared;
  size_t count = 0;
  for (const std::string* part : {&properties, &methodText}) {
    for (auto it = std::sregex_iterator(part->begin(), part->end(), line);
         it != std::sregex_iterator(); ++it) {
      ++count;
      const std::smatch& m = *it;
      const DispatchEntry* entry = FindDispatchEntry(std::stoi(m[1]));
      ASSERT_NE(entry, nullptr) << "id " << m[1] << " of " << m[3] << " is not in the table";
      EXPECT_EQ(m[3], std::string(entry->name)) << "id " << m[1];
      EXPECT_EQ(m[2], IdlType(entry->type)) << entry->name;
      bool isMethod = part == &methodText;
      EXPECT_EQ(isMethod, entry->kind == MemberKind::kMethod) << entry->name;
      if (!isMethod) continue;
      std::string expected;
      for (const DispatchArg& arg : entry->args) {
        if (!expected.empty()) expected += ", ";
        expected += IdlType(arg.type) + " " + std::string(arg.name);
      }
      EXPECT_EQ(m[5], expected) << entry->name;
    }
  }
  EXPECT_EQ(count, DispatchTable().size());
}

TEST(TypeLibrary, EventsAndIdentitiesAgreeWithTheClassIds) {
  std::string idl = ReadIdl();
  std::string events = Interface(idl, "_DqorvaeditorEvents");
  EXPECT_NE(events.find("[id(" + std::to_string(kEventLoadedId) + ")] void " +
                        std::string(kEventLoadedName) + "();"),
            std::string::npos);
  EXPECT_EQ(UuidBefore(idl, "library qorvaeditorLib"), ToUtf8(kLibId));
  EXPECT_EQ(UuidBefore(idl, "dispinterface _Dqorvaeditor\n"), ToUtf8(kDispatchIid));
  EXPECT_EQ(UuidBefore(idl, "dispinterface _DqorvaeditorEvents\n"), ToUtf8(kEventsIid));
  EXPECT_EQ(UuidBefore(idl, "coclass qorvaeditor\n"), ToUtf8(kControlClsid));
  EXPECT_NE(idl.find("version(1.0), lcid(0x409)"), std::string::npos);

  // The property page's class id, written as DEFINE_GUID fields.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(
      idl, m,
      std::regex(
          R"(CLSID_qorvaeditorPropPage, 0x(\w+), 0x(\w+), 0x(\w+), 0x(\w+), 0x(\w+), 0x(\w+), 0x(\w+), 0x(\w+), 0x(\w+), 0x(\w+), 0x(\w+))")));
  std::string text = "{" + std::string(m[1]) + "-" + std::string(m[2]) + "-" + std::string(m[3]) +
                     "-" + std::string(m[4]) + std::string(m[5]) + "-";
  for (int i = 6; i <= 11; ++i) text += m[i];
  text += "}";
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(text, ToUtf8(kPropPageClsid));
}

}  // namespace
}  // namespace qorva
