// The ports one control works through, handed to it at construction.
#pragma once

namespace qorva {

class Clipboard;
class Clock;
class ContentTypes;
class ControlSite;
class HttpClient;
class ImageCodec;
class Registry;
class ScreenCapture;
class System;
class UserInterface;

// Who calls the scripting interface: page script, which is untrusted, or the local user
// through the command.
enum class ScriptCaller { kPage, kLocalUser };

struct Platform {
  Registry& registry;
  UserInterface& userInterface;
  System& system;
  ControlSite& site;
  HttpClient& http;
  const ImageCodec& imageCodec;
  Clipboard& clipboard;
  // Dates and log lines, and the content types of files, for the MIME encoder.
  Clock& clock;
  ContentTypes& contentTypes;
  // The screen's pixels, for the photo editor's captures.
  ScreenCapture& screen;
  ScriptCaller caller = ScriptCaller::kPage;
};

}  // namespace qorva
