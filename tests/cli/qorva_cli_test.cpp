#include "cli/qorva_cli.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "control/control_settings.h"

namespace qorva {
namespace {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Qorva(std::vector<std::string> args) {
  ResetSettings();
  std::ostringstream out, err;
  int status = RunQorvaCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::filesystem::path TempFile(const std::string& name, const std::string& content) {
  auto path = std::filesystem::temp_directory_path() / ("qorva_cli_test_" + name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

TEST(QorvaCommand, ListShowsEveryMember) {
  CliRun run = Qorva({"list"});
  EXPECT_EQ(run.status, 0);
  size_t lines = 0;
  std::istringstream in(run.out);
  for (std::string line; std::getline(in, line);) lines += line.find(" -> ") != std::string::npos;
  EXPECT_EQ(lines, 58u);
  EXPECT_NE(run.out.find("  11  postImageToServer(strLocalPath: string) -> string  guard A"),
            std::string::npos);
}

TEST(QorvaCommand, VersionAndTheContainerRefusal) {
  CliRun version = Qorva({"call", "getQorvaPluginVersion"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "1,0,0," + std::to_string(QORVA_TEST_BUILD_NUMBER) + "\n");

  CliRun refused = Qorva({"call", "--param", "hasContainer=1", "getQorvaPluginVersion"});
  EXPECT_EQ(refused.status, 0);
  EXPECT_EQ(refused.err, "[QORVA Editor] Container 모드에서는 사용할 수 없는 메소드입니다.\n");
  EXPECT_EQ(refused.out, "\n");

  CliRun untitled = Qorva(
      {"call", "--param", "hasContainer=1", "--param", "systemTitle=0", "getQorvaPluginVersion"});
  EXPECT_EQ(untitled.err, "[] Container 모드에서는 사용할 수 없는 메소드입니다.\n");
}

TEST(QorvaCommand, SeveralCallsShareOneControl) {
  CliRun run = Qorva({"call", "toSavePathUrl", "changed", "--", "toSavePathUrl", "--",
                      "SetImagePropMode", "0", "--", "imagePropStyle"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "changed\n0\n");
}

TEST(QorvaCommand, ArgumentsFromFilesAndResultsToFiles) {
  auto in = TempFile("in.txt", "\xed\x95\x9c\xea\xb8\x80");
  auto out = std::filesystem::temp_directory_path() / "qorva_cli_test_out.txt";
  std::filesystem::remove(out);
  CliRun run =
      Qorva({"call", "mimeCharset", "@" + in.string(), "--", "--out", out.string(), "mimeCharset"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  std::ifstream written(out, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, "\xed\x95\x9c\xea\xb8\x80");
}

TEST(QorvaCommand, ParametersFromAFile) {
  auto params = TempFile("page.params", "# a page\nsystemTitle=Paged\r\n\nhasContainer=1\n");
  CliRun run = Qorva({"call", "--params", params.string(), "getPasteHtml"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "[Paged] Container 모드에서는 사용할 수 없는 메소드입니다.\n");
}

TEST(QorvaCommand, UsageErrorsExitNonZeroWithAMessage) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"call", "noSuchMethod"}, 2, "no method or property is named 'noSuchMethod'"},
      {{"call", "getPasteHtml", "extra"}, 2, "takes 0 argument(s), not 1"},
      {{"call", "postImageToServer"}, 2, "takes 1 argument(s), not 0"},
      {{"call", "width", "1", "2"}, 2, "takes 0 or 1 argument(s), not 2"},
      {{"call", "SetImagePropMode", "lots"},
       2,
       "argument 1 of SetImagePropMode has the wrong type"},
      {{"call", "--param", "novalue", "setQorvaInit"}, 2, "--param takes NAME=VALUE"},
      {{"call", "setQorvaInit", "--", "--answer"}, 2, "--answer needs a value"},
      {{"call"}, 2, "a call names a method or property"},
      {{"call", "setQorvaInit", "--", "--param", "a=b", "setQorvaInit"}, 2, "first call"},
      {{"call", "postImageToServer", "@/nonexistent/file"}, 1, "cannot read"},
      {{"call", "--wait-loaded", "soon", "getHtml"}, 2, "whole seconds from 0 to 3600, not 'soon'"},
      {{"call", "--wait-loaded", "-1", "getHtml"}, 2, "whole seconds"},
      {{"call", "--wait-loaded", "3601", "getHtml"}, 2, "whole seconds"},
      {{"call", "--wait-loaded", "99999999999", "getHtml"}, 2, "whole seconds"},
      {{"call", "getHtml", "--", "--wait-loaded"}, 2, "--wait-loaded needs a value"},
      {{"open", "--bogus"}, 2, "open takes options and one EDITOR_URL"},
      {{"open", "one", "two"}, 2, "open takes options and one EDITOR_URL, not 'two'"},
      {{"open", "--param"}, 2, "--param needs a value"},
      {{"frobnicate"}, 2, "unknown command"},
      {{}, 2, "usage:"},
  };
  for (const auto& c : cases) {
    CliRun run = Qorva(c.args);
    EXPECT_EQ(run.status, c.status) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

TEST(QorvaCommand, AnswersSaveTheHtmlWhereTheyName) {
  const auto folder = std::filesystem::temp_directory_path() / "qorva_cli_test_answers";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string page = (folder / "page").string();
  CliRun saved = Qorva({"call", "--answer", page, "doSaveHTML", "<p>a</p>", "page", "utf-8", "",
                        "--", "--answer", "cancel", "doSaveHTML", "<p>b</p>", "page", "", ""});
  EXPECT_EQ(saved.status, 0);
  EXPECT_EQ(saved.out, page + ".htm\n\n");
  std::ifstream in(page + ".htm", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "\xEF\xBB\xBF<p>a</p>");
  EXPECT_EQ(saved.err.find("answer"), std::string::npos) << saved.err;

  CliRun unanswered = Qorva({"call", "doSaveHTML", "<p>a</p>", "page", "utf-8", ""});
  EXPECT_EQ(unanswered.status, 0);
  EXPECT_EQ(unanswered.out, "\n");
  EXPECT_NE(unanswered.err.find("no answer left for 'Save As': cancelled"), std::string::npos)
      << unanswered.err;

  CliRun spare = Qorva({"call", "--answer", "yes", "--answer", "no", "setQorvaInit"});
  EXPECT_NE(spare.err.find("2 answer(s) left unused"), std::string::npos) << spare.err;
  std::filesystem::remove_all(folder);
}

TEST(QorvaCommand, CleansClipboardHtml) {
  auto sample = std::filesystem::path(QORVA_SOURCE_DIR) / "tests" / "data" / "paste" /
                "excel_classes_hairline_dotdotdash.html";
  CliRun run = Qorva({"clean", sample.string(), "--type"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "2\n");
  EXPECT_NE(run.out.find("<colgroup><col width=64"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find('\r'), std::string::npos) << "one line";
  EXPECT_EQ(run.out.find("class="), std::string::npos) << run.out;

  CliRun quiet = Qorva({"clean", TempFile("one.html",
                                          "<BODY><P><!--StartFragment-->x"
                                          "<!--EndFragment--></P></BODY>")
                                     .string()});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out, "x\n");
  EXPECT_EQ(quiet.err, "");

  EXPECT_EQ(Qorva({"clean", "/nonexistent/file"}).status, 1);
  EXPECT_EQ(Qorva({"clean"}).status, 2);
  EXPECT_EQ(Qorva({"clean", "a", "b"}).status, 2);
}

TEST(QorvaCommand, SavesABase64Image) {
  CliRun run = Qorva({"call", "getLocalImageFromBase64Image", "iVBORw0KGgo=", "PNG"});
  EXPECT_EQ(run.status, 0);
  ASSERT_GT(run.out.size(), 5u);
  std::string path = run.out.substr(0, run.out.size() - 1);
  EXPECT_TRUE(path.ends_with(".png")) << path;
  EXPECT_EQ(std::filesystem::file_size(path), 8u);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace qorva
