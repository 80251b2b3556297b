#pragma once
// The wire records of the test variant's control query: a test process asks
// the running program about one control of its windows (window class, skin
// name, index) or asks it to take a file drop, and reads the reply the
// program writes back. This unit only encodes and decodes the records; the
// program's side (app/TestHooks.cpp) and the tests' driver
// (tests/support/ProgramDriver.h) do the transport. It lives in core/base's
// portable folder because both sides include it: the program may not depend
// on tests/, and the tests' driver must not depend on app/; nothing here needs
// Windows, so the host build checks the decoder against malformed input.

#include <cstdint>
#include <string>
#include <vector>

// What a request asks for.
enum class ControlQueryKind : uint32_t {
  kFindControl = 1,  // report one control
  kDropFiles = 2,    // post a drop of `paths` to the first shown window of the class
};

// One request. Texts are UTF-8.
struct ControlQueryRequest {
  ControlQueryKind kind = ControlQueryKind::kFindControl;
  std::string windowClass;   // the framework window's class; empty: any window of the program
  std::string controlName;   // the control's skin name
  int32_t index = 0;         // the index-th control of that name (0 first, in window then tree order)
  std::vector<std::string> paths;  // the files of a drop
  std::string replyName;     // the named shared memory into which the program writes its reply
};

// One reply. For a drop only `found` counts: the drop was posted.
struct ControlQueryReply {
  bool found = false;
  bool visible = false;  // the window shows, and the control with every parent
  bool enabled = false;  // the control's own enabled state
  uint64_t window = 0;   // the handle value of the window that holds the control
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // the control's rectangle in that window's client area
  std::string text;      // the control's text (UTF-8)
};

// Bytes of the shared memory a reply is written into: a 4-byte length, then
// the encoded reply. A reply that does not fit is not written.
constexpr uint32_t kControlQueryReplyCapacity = 64 * 1024;

// The byte form of each record. Decoding is false for anything the encoder
// does not write (another tag, a cut or padded record, a field longer than
// what is left, an unknown kind), leaving the output in an unspecified state.
std::string EncodeControlQueryRequest(const ControlQueryRequest& request);
bool DecodeControlQueryRequest(const std::string& bytes, ControlQueryRequest& request);
std::string EncodeControlQueryReply(const ControlQueryReply& reply);
bool DecodeControlQueryReply(const std::string& bytes, ControlQueryReply& reply);

// The transport, for both sides: the test variant keeps a message-only window
// of this class, and a request reaches it as WM_COPYDATA with this tag in
// dwData and the encoded request as the data. The window answers 1 when it
// wrote the reply into the request's shared memory, 0 otherwise.
constexpr wchar_t kControlQueryWindowClass[] = L"QuilloraTestQuery";
constexpr uint32_t kControlQueryMessageTag = 0x51435131;  // "QCQ1"
