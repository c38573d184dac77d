#include "paste/inline_images.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "paste/paste_scene.h"
#include "support/file_path.h"
#include "support/working_folder.h"

namespace qorva {
namespace {

TEST(InlineImages, DecodesBase64) {
  struct DecodeCase {
    const char16_t* text;
    std::string bytes;
  };
  const DecodeCase cases[] = {
      {u"iVBORw0KGgo=", std::string("\x89PNG\r\n\x1a\n", 8)},
      {u"iVBO\r\nRw0K Ggo=", std::string("\x89PNG\r\n\x1a\n", 8)},
      {u"QUJDRA", "ABC"},
      {u"QUI=", "AB"},
      {u"QQ==", "A"},
      {u"", ""},
      {u"*&^%", ""},
      {u"QQ==QUJD", "AABC"},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(DecodeBase64(c.text), c.bytes) << ToUtf8(c.text);
  }
}

std::string ReadBytes(const Text& path) {
  std::ifstream in(PathFromText(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(InlineImages, SavesIntoTheWorkingFolder) {
  MemorySystem system;
  system.fixedGuid = Guid{0x1A6E0001, 0, 0, {}};
  const Text folder = WorkingFolderPath(kWorkingFolderName);
  struct SaveCase {
    const char16_t* extension;
    const char16_t* fileExtension;  // null: refused
  };
  const SaveCase cases[] = {
      {u"PNG", u"png"},   {u"JPEG", u"jpg"}, {u"svg+xml", u"svg+xml"}, {u"../x", nullptr},
      {u"a\\b", nullptr}, {u"c:d", nullptr}, {u"x\ny", nullptr},
  };
  for (const SaveCase& c : cases) {
    Text path = SaveBase64Image(system, u"iVBORw0KGgo=", c.extension);
    if (!c.fileExtension) {
      EXPECT_EQ(ToUtf8(path), "") << ToUtf8(c.extension);
      continue;
    }
    EXPECT_EQ(ToUtf8(path), ToUtf8(folder + u"1a6e0001" + Text(24, u'0') + u"." + c.fileExtension));
    EXPECT_EQ(ReadBytes(path), std::string("\x89PNG\r\n\x1a\n", 8)) << ToUtf8(c.extension);
  }
}

}  // namespace
}  // namespace qorva
