// The ports one control works through, handed to it at construction.
#pragma once

namespace qorva {

class ControlSite;
class HttpClient;
class Registry;
class System;
class UserInterface;

struct Platform {
  Registry& registry;
  UserInterface& userInterface;
  System& system;
  ControlSite& site;
  HttpClient& http;
};

}  // namespace qorva
