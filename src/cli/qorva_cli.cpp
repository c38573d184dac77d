#include "cli/qorva_cli.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "control/dispatch_table.h"
#include "control/paste_methods.h"
#include "control/property_exchange.h"
#include "control/qorvaeditor_ctrl.h"
#include "platform/image_codec.h"
#include "platform/memory/memory_platform.h"
#include "platform/native_clipboard.h"
#include "support/encoding.h"

namespace qorva {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: qorva list\n"
    "       qorva call [--param NAME=VALUE]... [--params FILE] [--clipboard FORMAT=FILE]...\n"
    "                  [--answer TEXT]... [--out FILE] NAME [ARG]...\n"
    "                  [-- [--answer TEXT]... [--out FILE] NAME [ARG]...]...\n"
    "       qorva clean FILE [--type]\n"
    "An ARG of @FILE is read from FILE as UTF-8. Calls separated by -- run against one control.\n"
    "--clipboard fills an in-memory clipboard (FORMAT: html, text, ansitext, files, bitmap,\n"
    "png); without it the desktop's clipboard is used when there is one.\n"
    "--answer answers the control's dialogs and questions in the order they open:\n"
    "  a save dialog takes a path, or cancel;\n"
    "  a question takes ok, cancel, yes or no (with none left, its first button);\n"
    "  the image type sheet takes type=jpg|gif|png, quality=N, angle=N, width=N,\n"
    "  height=N, then ok or cancel;\n"
    "  an open dialog takes a path, or cancel;\n"
    "  the image property dialog (imagePropStyle 0: as a sheet) takes ITEM=TEXT for the\n"
    "  edits path, description, title, width, height, border, hspace, vspace, href and\n"
    "  linkTitle, align=ENTRY, target=ENTRY, widthSpin=up|down (and heightSpin,\n"
    "  borderSpin, hspaceSpin, vspaceSpin), the bare names browse, originalSize,\n"
    "  keepRatio and clearLink to press them (the skinned one also confirm, cancel,\n"
    "  close), then ok or cancel; it plays answers until it closes.\n"
    "A dialog with no answer left is cancelled, and standard error says so.\n"
    "clean reads clipboard HTML from FILE (UTF-8), cleans it as a paste would and prints it;\n"
    "--type also prints the source type code on standard error.\n";

struct CallSpec {
  std::string name;
  std::vector<std::string> args;
  std::string outFile;
};

struct CallPlan {
  ParameterListExchange::Parameters parameters;
  std::vector<std::pair<std::string, std::string>> clipboard;  // format, file
  std::vector<std::string> answers;  // to the dialogs, in the order they open
  std::vector<CallSpec> calls;
};

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

bool AddParameter(const std::string& assignment, CallPlan& plan) {
  size_t equals = assignment.find('=');
  if (equals == 0 || equals == std::string::npos) return false;
  plan.parameters.emplace_back(FromUtf8(assignment.substr(0, equals)),
                               FromUtf8(assignment.substr(equals + 1)));
  return true;
}

// A parameters file holds NAME=VALUE lines; blank lines and lines starting with # are skipped.
bool AddParameterFile(const std::string& text, CallPlan& plan) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!AddParameter(line, plan)) return false;
  }
  return true;
}

std::optional<CallPlan> ParseCall(const std::vector<std::string>& args, std::ostream& err) {
  CallPlan plan;
  CallSpec current;
  bool first = true;
  auto finish = [&]() -> bool {
    if (current.name.empty()) {
      err << "qorva: a call names a method or property\n" << kUsage;
      return false;
    }
    plan.calls.push_back(std::move(current));
    current = {};
    first = false;
    return true;
  };
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      if (!finish()) return std::nullopt;
      continue;
    }
    if (!current.name.empty()) {
      current.args.push_back(arg);
      continue;
    }
    bool takesValue = arg == "--param" || arg == "--params" || arg == "--out" ||
                      arg == "--clipboard" || arg == "--answer";
    if (takesValue && i + 1 >= args.size()) {
      err << "qorva: " << arg << " needs a value\n";
      return std::nullopt;
    }
    if ((arg == "--param" || arg == "--params" || arg == "--clipboard") && !first) {
      err << "qorva: parameters belong to the first call, where the control is created\n";
      return std::nullopt;
    }
    if (arg == "--param") {
      if (!AddParameter(args[++i], plan)) {
        err << "qorva: --param takes NAME=VALUE, not '" << args[i] << "'\n";
        return std::nullopt;
      }
    } else if (arg == "--params") {
      std::optional<std::string> text = ReadFile(args[++i]);
      if (!text || !AddParameterFile(*text, plan)) {
        err << "qorva: cannot read NAME=VALUE lines from '" << args[i] << "'\n";
        return std::nullopt;
      }
    } else if (arg == "--clipboard") {
      const std::string& value = args[++i];
      size_t equals = value.find('=');
      if (equals == 0 || equals == std::string::npos) {
        err << "qorva: --clipboard takes FORMAT=FILE, not '" << value << "'\n";
        return std::nullopt;
      }
      plan.clipboard.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    } else if (arg == "--answer") {
      plan.answers.push_back(args[++i]);
    } else if (arg == "--out") {
      current.outFile = args[++i];
    } else if (arg.starts_with("--")) {
      err << "qorva: unknown option '" << arg << "'\n" << kUsage;
      return std::nullopt;
    } else {
      current.name = arg;
    }
  }
  if (!finish()) return std::nullopt;
  return plan;
}

std::string ArgumentList(const DispatchEntry& entry) {
  std::string text;
  for (const DispatchArg& arg : entry.args) {
    if (!text.empty()) text += ", ";
    text += std::string(arg.name) + ": " + std::string(ValueTypeName(arg.type));
  }
  return text;
}

int ListMembers(std::ostream& out) {
  for (MemberKind kind : {MemberKind::kProperty, MemberKind::kMethod}) {
    out << (kind == MemberKind::kProperty ? "Properties" : "Methods")
        << " (id, name, type, guard):\n";
    for (const DispatchEntry& entry : DispatchTable()) {
      if (entry.kind != kind) continue;
      char id[16];
      std::snprintf(id, sizeof id, "%4d  ", entry.id);
      out << id << entry.name;
      if (kind == MemberKind::kMethod) out << '(' << ArgumentList(entry) << ')';
      out << " -> " << ValueTypeName(entry.type) << "  guard " << GuardName(entry.guard) << '\n';
    }
  }
  return kExitOk;
}

std::string ResultText(const Variant& value) {
  switch (value.tag) {
    case kVtBstr:
      return ToUtf8(value.text);
    case kVtI4:
      return std::to_string(value.i4);
    case kVtUi4:
      return std::to_string(value.ui4);
    default:
      return {};
  }
}

std::string StatusText(DispatchStatus status) {
  switch (status) {
    case DispatchStatus::kTypeMismatch:
      return "has the wrong type";
    case DispatchStatus::kOverflow:
      return "is out of range";
    default:
      return "was refused";
  }
}

int RunCall(CQorvaeditorCtrl& control, const CallSpec& call, std::ostream& out, std::ostream& err) {
  const DispatchEntry* entry = FindDispatchEntry(FromUtf8(call.name));
  if (!entry) {
    err << "qorva: no method or property is named '" << call.name << "'\n";
    return kExitUsage;
  }
  size_t expected = entry->kind == MemberKind::kMethod ? entry->args.size() : 0;
  bool countOk =
      entry->kind == MemberKind::kMethod ? call.args.size() == expected : call.args.size() <= 1;
  if (!countOk) {
    err << "qorva: " << entry->name << " takes "
        << (entry->kind == MemberKind::kMethod ? std::to_string(expected) : "0 or 1")
        << " argument(s), not " << call.args.size() << '\n';
    return kExitUsage;
  }
  std::vector<Variant> args;
  for (const std::string& arg : call.args) {
    if (!arg.starts_with("@")) {
      args.push_back(Variant::String(FromUtf8(arg)));
      continue;
    }
    std::optional<std::string> text = ReadFile(arg.substr(1));
    if (!text) {
      err << "qorva: cannot read '" << arg.substr(1) << "'\n";
      return kExitFile;
    }
    args.push_back(Variant::String(FromUtf8(*text)));
  }
  uint16_t flags = entry->kind == MemberKind::kMethod
                       ? kInvokeMethod
                       : (args.empty() ? kInvokePropertyGet : kInvokePropertyPut);
  InvokeResult result = Invoke(control, entry->id, flags, args);
  if (result.status != DispatchStatus::kOk) {
    err << "qorva: argument " << result.badArgument + 1 << " of " << entry->name << ' '
        << StatusText(result.status) << '\n';
    return kExitUsage;
  }
  if (flags == kInvokePropertyPut || entry->type == ValueType::kNone) return kExitOk;
  std::string text = ResultText(result.value);
  if (call.outFile.empty()) {
    out << text << '\n';
    return kExitOk;
  }
  if (!WriteFile(call.outFile, text)) {
    err << "qorva: cannot write '" << call.outFile << "'\n";
    return kExitFile;
  }
  return kExitOk;
}

// Puts the content of `path` on the in-memory clipboard as `format`.
int LoadClipboardFormat(MemoryClipboard& clipboard, const ImageCodec& codec,
                        const std::string& format, const std::string& path, std::ostream& err) {
  std::optional<std::string> bytes = ReadFile(path);
  if (!bytes) {
    err << "qorva: cannot read '" << path << "'\n";
    return kExitFile;
  }
  if (format == "html") {
    clipboard.SetRegistered(kHtmlFormatName, *bytes + '\0');
  } else if (format == "text") {
    clipboard.SetUnicodeText(FromUtf8(*bytes));
  } else if (format == "ansitext") {
    clipboard.SetAnsiText(*bytes);
  } else if (format == "png") {
    clipboard.SetRegistered(kPngFormatName, *bytes);
  } else if (format == "files") {
    std::vector<Text> paths;
    std::istringstream lines(*bytes);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) paths.push_back(FromUtf8(line));
    }
    clipboard.SetFiles(std::move(paths));
  } else if (format == "bitmap") {
    ImageDecodeResult image = codec.Decode(*bytes);
    if (!image.image) {
      err << "qorva: '" << path << "' is no picture\n";
      return kExitFile;
    }
    clipboard.SetBitmap(std::move(*image.image));
  } else {
    err << "qorva: unknown clipboard format '" << format << "'\n";
    return kExitUsage;
  }
  return kExitOk;
}

int CallMembers(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<CallPlan> plan = ParseCall(args, err);
  if (!plan) return kExitUsage;

  MemoryPlatform ports(PortSource::kNative, {}, &err);
  if (plan->clipboard.empty()) {
    ports.UseClipboard(CreateNativeClipboard(ports.codec(), ports.system));
  }
  for (const auto& [format, path] : plan->clipboard) {
    int status = LoadClipboardFormat(ports.clipboard, ports.codec(), format, path, err);
    if (status != kExitOk) return status;
  }
  for (const std::string& answer : plan->answers) ports.userInterface.QueueAnswer(FromUtf8(answer));
  CQorvaeditorCtrl control(ports.ports());
  ParameterListExchange load(ExchangeDirection::kLoad, plan->parameters);
  control.ExchangeParameters(load);

  for (const CallSpec& call : plan->calls) {
    int status = RunCall(control, call, out, err);
    if (status != kExitOk) return status;
  }
  if (size_t left = ports.userInterface.answersLeft()) {
    err << "qorva: " << left << " answer(s) left unused\n";
  }
  return kExitOk;
}

// Cleans a clipboard "HTML Format" text as getPasteHtml would after reading it; the
// files it writes go to the working folder.
int CleanClipboardFile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string file;
  bool printType = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--type") {
      printType = true;
    } else if (file.empty() && !args[i].starts_with("--")) {
      file = args[i];
    } else {
      err << "qorva: clean takes one FILE and --type, not '" << args[i] << "'\n" << kUsage;
      return kExitUsage;
    }
  }
  if (file.empty()) {
    err << "qorva: clean needs a FILE\n" << kUsage;
    return kExitUsage;
  }
  std::optional<std::string> bytes = ReadFile(file);
  if (!bytes) {
    err << "qorva: cannot read '" << file << "'\n";
    return kExitFile;
  }
  MemoryPlatform ports(PortSource::kNative, {}, &err);
  CQorvaeditorCtrl control(ports.ports());
  ParameterListExchange load(ExchangeDirection::kLoad, {});
  control.ExchangeParameters(load);
  Text html = FromUtf8(*bytes);
  CleanPastedHtml(html, control);
  out << ToUtf8(html) << '\n';
  if (printType) err << control.pasteSourceType << '\n';
  return kExitOk;
}

}  // namespace

int RunQorvaCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  if (args[0] == "list" && args.size() == 1) return ListMembers(out);
  if (args[0] == "call") return CallMembers(args, out, err);
  if (args[0] == "clean") return CleanClipboardFile(args, out, err);
  err << "qorva: unknown command '" << args[0] << "'\n" << kUsage;
  return kExitUsage;
}

}  // namespace qorva
