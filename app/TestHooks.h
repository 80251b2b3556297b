#pragma once
// What the test variant of the program (QuilloraTestHooks.exe, built with
// QUILLORA_TEST_HOOKS; never shipped) adds for the end-to-end tests, and the
// small protocol the tests speak with it. The shipped program has none of it.
//
// - Service addresses from the environment: QUILLORA_TEST_SPEECH_URL,
//   QUILLORA_TEST_MANAGEMENT_URL, QUILLORA_TEST_LOGIN_URL, and the PEM files
//   QUILLORA_TEST_CA_FILE and QUILLORA_TEST_RSA_FILE, so a test points the
//   program at a stand-in instance of its own.
// - A control query by skin name through WM_COPYDATA to the main window, so a
//   test in another process finds what to click.
// - A file drop through WM_COPYDATA: the program makes the drop's global block
//   in its own memory and posts WM_DROPFILES to its window, as the system's
//   drop helper does for the receiving window (a block of the test's process
//   would mean nothing here).
#include <windows.h>

#include <cstdint>

// WM_COPYDATA dwData of a control query; lpData holds the UTF-16 skin name,
// optionally followed by "#n" for the n-th control of that name (0 first, in
// tree order, hidden ones included). The reply packs what the test needs.
constexpr ULONG_PTR kTestQueryControl = 0x51544331;  // "QTC1"

// WM_COPYDATA dwData of a file drop; lpData holds the UTF-16 paths, each
// ended by a NUL, and an empty path at the end. The reply is 1 when the drop
// was posted.
constexpr ULONG_PTR kTestDropFiles = 0x51544432;  // "QTD2"

// Reply of a control query: 0 when there is no such control; otherwise bit 0
// set, bit 1 visible (with its parents), bit 2 enabled, bits 8..19 the
// centre's x and bits 20..31 its y in client coordinates.
constexpr uint32_t kTestControlFound = 1u;
constexpr uint32_t kTestControlVisible = 2u;
constexpr uint32_t kTestControlEnabled = 4u;
inline int TestControlX(uint32_t reply) { return static_cast<int>((reply >> 8) & 0xFFF); }
inline int TestControlY(uint32_t reply) { return static_cast<int>((reply >> 20) & 0xFFF); }

#ifdef QUILLORA_TEST_HOOKS
namespace Trellis {
class CWindowManagerUI;
}

// Takes the service addresses and certificates from the environment, where given.
void ApplyTestServiceSettings();

// Answers a control query of the window's tree, or posts a file drop to the
// window; 0 for anything else.
LRESULT AnswerTestQuery(Trellis::CWindowManagerUI& manager, const COPYDATASTRUCT* data);
#endif
