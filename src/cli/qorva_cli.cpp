#include "cli/qorva_cli.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
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
#include "platform/native_desktop_window.h"
#include "platform/native_screen_capture.h"
#include "support/encoding.h"

namespace qorva {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotLoaded = 3;
constexpr int kMaxWaitSeconds = 3600;
constexpr TextView kWindowTitle = u"qorvaeditor";

constexpr const char* kUsage =
    "usage: qorva list\n"
    "       qorva call [--param NAME=VALUE]... [--params FILE] [--clipboard FORMAT=FILE]...\n"
    "                  [--answer TEXT]... [--out FILE] NAME [ARG]...\n"
    "                  [--wait-loaded SECONDS] [--timing] [-- [--answer TEXT]... [--out FILE]\n"
    "                  [--wait-loaded SECONDS] NAME [ARG]...]...\n"
    "       qorva open [--param NAME=VALUE]... [--params FILE] [EDITOR_URL]\n"
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
    "  the photo editor (setScreenCapture) takes its tools by name: capture-full (the\n"
    "  display DISPLAY names), capture-browser (the focused top-level window),\n"
    "  open=PATH, rotate-right, rotate-left, mirror-lr, mirror-ud, darker, brighter,\n"
    "  invert, grey, sepia, resize=WxH, reset, insert, close, yes or no to its\n"
    "  questions, and ok (Enter) or cancel (Escape); grey tools take no answer.\n"
    "A dialog with no answer left is cancelled, and standard error says so.\n"
    "--wait-loaded hosts the control in a window of the display (container mode embeds the\n"
    "browser) and, before its call, waits until QORVA_Event_Loaded fires once more (printed\n"
    "on standard error); when SECONDS pass first, exit status 3 and no further call runs.\n"
    "--timing adds to each QORVA_Event_Loaded the milliseconds since the window was created.\n"
    "open shows the container page of EDITOR_URL (or of qorvaEditorInitURL) until the\n"
    "window is closed.\n"
    "clean reads clipboard HTML from FILE (UTF-8), cleans it as a paste would and prints it;\n"
    "--type also prints the source type code on standard error.\n";

struct CallSpec {
  std::string name;
  std::vector<std::string> args;
  std::string outFile;
  std::optional<int> waitLoadedSeconds;
};

struct CallPlan {
  ParameterListExchange::Parameters parameters;
  std::vector<std::pair<std::string, std::string>> clipboard;  // format, file
  std::vector<std::string> answers;  // to the dialogs, in the order they open
  bool timing = false;               // how long after the window's creation each event came
  std::vector<CallSpec> calls;
};

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // Read in one piece where the size is known: a character iterator grows the string
  // step by step, which costs more than the clean-up of a large capture.
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (!error) {
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    // A file that grew since its size was taken is read to its end.
    bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return bytes;
  }
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

std::optional<int> ParseSeconds(const std::string& text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int seconds = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    seconds = seconds * 10 + (c - '0');
  }
  if (seconds > kMaxWaitSeconds) return std::nullopt;
  return seconds;
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
                      arg == "--clipboard" || arg == "--answer" || arg == "--wait-loaded";
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
    } else if (arg == "--timing") {
      plan.timing = true;
    } else if (arg == "--answer") {
      plan.answers.push_back(args[++i]);
    } else if (arg == "--out") {
      current.outFile = args[++i];
    } else if (arg == "--wait-loaded") {
      std::optional<int> seconds = ParseSeconds(args[++i]);
      if (!seconds) {
        err << "qorva: --wait-loaded takes whole seconds from 0 to " << kMaxWaitSeconds << ", not '"
            << args[i] << "'\n";
        return std::nullopt;
      }
      current.waitLoadedSeconds = seconds;
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
  if (result.value.tag == kVtBstr) {
    // A string result can be tens of megabytes (a pasted capture): it goes out in pieces.
    std::ofstream file;
    if (!call.outFile.empty()) file.open(call.outFile, std::ios::binary | std::ios::trunc);
    std::ostream& target = call.outFile.empty() ? out : file;
    WriteUtf8(result.value.text, [&target](std::string_view piece) {
      target.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    });
    if (call.outFile.empty()) {
      out << '\n';
      return kExitOk;
    }
    file.close();
    if (file) return kExitOk;
    err << "qorva: cannot write '" << call.outFile << "'\n";
    return kExitFile;
  }
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

constexpr const char* kNoDisplay =
    "qorva: container mode shows the editor page in a window, and no display could be opened "
    "(is DISPLAY set?)\n";

// Hosts the control in `window`: the window's notifications reach the control, and every
// QORVA_Event_Loaded is counted and printed on standard error.
void ShowInWindow(CQorvaeditorCtrl& control, DesktopWindow& window, int& loadedCount,
                  std::ostream& err, bool timing = false) {
  window.SetHandlers({
      .created = [&control] { control.OnWindowCreated(); },
      .timer = [&control](uint32_t id) { return control.OnTimer(id); },
      .resized = [&control] { control.OnWindowResized(); },
  });
  auto created = std::chrono::steady_clock::now();
  control.events.Advise([&loadedCount, &err, timing, created] {
    ++loadedCount;
    err << kEventLoadedName;
    if (timing) {
      auto since = std::chrono::steady_clock::now() - created;
      err << ' ' << std::chrono::duration_cast<std::chrono::milliseconds>(since).count() << " ms";
    }
    err << std::endl;
  });
  if (control.width > 0 && control.height > 0) {
    window.MoveWindow(
        {0, 0, static_cast<int32_t>(control.width), static_cast<int32_t>(control.height)},
        Repaint::kYes);
  }
  window.EnsureWindow();
}

int CallMembers(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<CallPlan> plan = ParseCall(args, err);
  if (!plan) return kExitUsage;

  // The window outlives the control that draws into it.
  std::unique_ptr<DesktopWindow> window;
  if (std::ranges::any_of(plan->calls,
                          [](const CallSpec& c) { return c.waitLoadedSeconds.has_value(); })) {
    window = CreateNativeDesktopWindow(kWindowTitle);
    if (!window) {
      err << kNoDisplay;
      return kExitFile;
    }
  }
  MemoryPlatform ports(PortSource::kNative, {}, &err);
  if (window) ports.UseSite(*window);
  if (plan->clipboard.empty()) {
    ports.UseClipboard(CreateNativeClipboard(ports.codec(), ports.system));
  }
  if (std::unique_ptr<ScreenCapture> screen = CreateNativeScreenCapture()) {
    ports.UseScreen(std::move(screen));
  }
  for (const auto& [format, path] : plan->clipboard) {
    int status = LoadClipboardFormat(ports.clipboard, ports.codec(), format, path, err);
    if (status != kExitOk) return status;
  }
  for (const std::string& answer : plan->answers) ports.userInterface.QueueAnswer(FromUtf8(answer));
  CQorvaeditorCtrl control(ports.ports());
  ParameterListExchange load(ExchangeDirection::kLoad, plan->parameters);
  control.ExchangeParameters(load);

  int loadedCount = 0;
  int loadedSeen = 0;
  if (window) ShowInWindow(control, *window, loadedCount, err, plan->timing);
  int status = kExitOk;
  for (const CallSpec& call : plan->calls) {
    if (call.waitLoadedSeconds) {
      window->RunUntil([&] { return loadedCount > loadedSeen; },
                       std::chrono::seconds(*call.waitLoadedSeconds));
      if (loadedCount <= loadedSeen) {
        err << "qorva: QORVA_Event_Loaded did not fire within " << *call.waitLoadedSeconds
            << " second(s)" << (window->Closed() ? " (the window was closed)" : "") << '\n';
        status = kExitNotLoaded;
        break;
      }
      loadedSeen = loadedCount;
    }
    status = RunCall(control, call, out, err);
    if (status != kExitOk) break;
  }
  if (window) control.OnWindowDestroyed();
  if (status != kExitOk) return status;
  if (size_t left = ports.userInterface.answersLeft()) {
    err << "qorva: " << left << " answer(s) left unused\n";
  }
  return kExitOk;
}

// Shows the container page to a person until the window is closed.
int OpenContainer(const std::vector<std::string>& args, std::ostream& err) {
  CallPlan plan;
  std::string editorUrl;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool takesValue = arg == "--param" || arg == "--params";
    if (takesValue && i + 1 >= args.size()) {
      err << "qorva: " << arg << " needs a value\n";
      return kExitUsage;
    }
    if (arg == "--param") {
      if (!AddParameter(args[++i], plan)) {
        err << "qorva: --param takes NAME=VALUE, not '" << args[i] << "'\n";
        return kExitUsage;
      }
    } else if (arg == "--params") {
      std::optional<std::string> text = ReadFile(args[++i]);
      if (!text || !AddParameterFile(*text, plan)) {
        err << "qorva: cannot read NAME=VALUE lines from '" << args[i] << "'\n";
        return kExitUsage;
      }
    } else if (arg.starts_with("--") || !editorUrl.empty()) {
      err << "qorva: open takes options and one EDITOR_URL, not '" << arg << "'\n" << kUsage;
      return kExitUsage;
    } else {
      editorUrl = arg;
    }
  }
  plan.parameters.emplace_back(u"hasContainer", u"1");
  if (!editorUrl.empty()) plan.parameters.emplace_back(u"qorvaEditorInitURL", FromUtf8(editorUrl));

  std::unique_ptr<DesktopWindow> window = CreateNativeDesktopWindow(kWindowTitle);
  if (!window) {
    err << kNoDisplay;
    return kExitFile;
  }
  MemoryPlatform ports(PortSource::kNative, {}, &err);
  ports.UseSite(*window);
  CQorvaeditorCtrl control(ports.ports());
  ParameterListExchange load(ExchangeDirection::kLoad, plan.parameters);
  control.ExchangeParameters(load);
  int loadedCount = 0;
  ShowInWindow(control, *window, loadedCount, err);
  window->RunUntilClosed();
  control.OnWindowDestroyed();
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
  bytes.reset();
  CleanPastedHtml(html, control);
  WriteUtf8(html, [&out](std::string_view piece) {
    out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  });
  out << '\n';
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
  if (args[0] == "open") return OpenContainer(args, err);
  err << "qorva: unknown command '" << args[0] << "'\n" << kUsage;
  return kExitUsage;
}

}  // namespace qorva
