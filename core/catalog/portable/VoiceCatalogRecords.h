#pragma once

// The voice catalogue as the speech service publishes it: categories, voices
// and emotions. The program keeps one vector of each for its whole run.

#include <string>
#include <vector>

struct VoiceCategory {
  int id = 0;          // "id"
  std::wstring name;   // "name"
  int count = 0;       // "count", shown beside the name
};

struct VoiceInfo {
  int categoryId = 0;       // "categoryId"
  std::wstring category;    // "category"
  std::wstring voiceDesc;   // "voiceDesc", shown under the voice
  int voiceType = 0;        // "voiceType", the voice id of synthesis requests
  int rate = 0;             // "rate", shown
  std::wstring anchorName;  // "anchorName", the display name
  std::wstring emotion;     // "emotion"
  bool isEmotion = false;   // "isEmotion": the voice offers emotions
  std::wstring avatar;      // "avatar", picture URL
  std::wstring text;        // "text", example text
  std::wstring mp3;         // "mp3", sample recording URL
};

struct VoiceEmotion {
  std::wstring name;     // "name", display name
  std::wstring emotion;  // "emotion", the key of synthesis requests
};

// Widens the service's narrow texts (the program uses the thread's ANSI code page).
using CatalogTextWidener = std::wstring (*)(const std::string& text);

// Fills `records` from one catalogue reply: {"code":200,"data":[{...},...]}.
// The vector is emptied first. False (vector empty) when the reply is not JSON
// or "code" is not 200. Elements that are not objects are skipped; a member
// that is missing or of another type reads as 0, false or "" - a reply never
// throws. "data" that is not an array is an empty list.
bool ParseVoiceCategories(const std::string& reply, CatalogTextWidener widen, std::vector<VoiceCategory>& records);
bool ParseVoiceList(const std::string& reply, CatalogTextWidener widen, std::vector<VoiceInfo>& records);
bool ParseVoiceEmotions(const std::string& reply, CatalogTextWidener widen, std::vector<VoiceEmotion>& records);
