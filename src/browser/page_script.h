// The script text through which a browser that evaluates script source calls a page
// function, and the reading of its tagged answer. Names and arguments travel as JSON
// string literals, never pasted into the script unescaped.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "base/text.h"
#include "platform/embedded_browser.h"

namespace qorva {

// `text` as a JSON string literal in ASCII: quotes, backslashes, control characters and
// every unit outside ASCII (lone surrogates too, and the two line separators that end a
// script line) are escaped.
std::string QuoteForScript(TextView text);

// A script expression that calls the page's global function `name` with `arguments`
// and evaluates to a tagged answer: "s:" and a string, "n:" and a number's text,
// "b:1" or "b:0", "u:" for undefined or null, "o:" for any other value, or "x:" and a
// reason when there is no such function.
std::string PageCallScript(TextView name, std::span<const Text> arguments);

// The outcome a tagged answer stands for; nullopt when it is none. A number that is a
// whole number in the 32-bit range becomes an integer, any other a double.
std::optional<PageCallOutcome> ReadPageCallAnswer(TextView answer);

}  // namespace qorva
