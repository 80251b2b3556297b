#pragma once

// The speech service's synthesis form and the reading of its JSON replies,
// without any transfer.

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The salt appended to every signed text of the speech service.
inline constexpr char RequestSignSalt[] = "4185062";

// The "sign" value of a speech-service request: the MD5 hex of the signed text
// immediately followed by RequestSignSalt.
std::string SignRequestText(const std::string& signedText);

// The escaped Base64 text and the whole form must each stay below this many bytes.
constexpr size_t kRequestFormCapacity = 20000;

struct SynthesisSettings {
  int32_t volume = 0;
  int32_t speed = 0;
  int32_t voiceType = 0;
  std::string ansiEmotion;  // e.g. "neutral"
  std::string ansiCodec;    // "mp3", "wav" or "pcm"
};

// The signed form "text=...&volume=..&speed=..&voiceType=..&emotion=..&codec=..&sign=.."
// of an SSML text given in the ANSI code page: "text" is its escaped Base64,
// "sign" the signature of that. False when the text or the form does not fit
// kRequestFormCapacity (a request is refused, never cut).
bool BuildSynthesisForm(const std::string& ansiText, const SynthesisSettings& settings, std::string& form);

enum class SpeechReplyState {
  Unreadable,  // no transfer, not a JSON object, or a "code" that is missing or not an integer
  CodeNotOk,   // "code" is an integer other than 200
  Ok,
};

// Parses a reply of the speech service (body ignored when `transferred` is false).
SpeechReplyState ReadSpeechReply(bool transferred, std::string_view body, Json::Value& root);

// A member that is a non-empty string; false for anything else.
bool ReadReplyText(const Json::Value& root, const char* name, std::string& text);
// The same without a copy: `text` views the string inside `root` and lasts as
// long as that value (the audio of a reply is decoded straight from it).
bool ReadReplyView(const Json::Value& root, const char* name, std::string_view& text);
