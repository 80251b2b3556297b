#pragma once
// What the test variant of the program (QuilloraTestHooks.exe) adds for the
// end-to-end tests; the shipped program does none of it. The functions do
// nothing unless the program was built with QUILLORA_TEST_HOOKS.

#include "core/transport/portable/ServiceConfig.h"

// What points the program at a test's own stand-in services, read from the
// environment: QUILLORA_TEST_SPEECH_URL, QUILLORA_TEST_MANAGEMENT_URL and
// QUILLORA_TEST_LOGIN_URL give the service addresses, and
// QUILLORA_TEST_RSA_KEY_FILE and QUILLORA_TEST_CA_FILE name PEM files for the
// envelope key and the trusted authority. Start-up resolves them with the
// other sources (ResolveServiceConfig: they come last, so they win). The
// shipped program reads none.
ServiceOverrides ReadTestServiceOverrides();

// When QUILLORA_TEST_INSPECT names a file, writes into it every 200 ms (from
// a timer of the UI thread, so also while a modal window or a message box
// runs) each framework window of the program and its named controls: handle,
// visibility, position, text and enabled state. A test in another process
// finds and clicks controls by their skin names with it
// (tests/support/WindowDriver.h).
void StartTestInspector();

// The main window of the test variant also answers WM_COPYDATA:
// - a control query by skin name: the centre, visibility and enabled state of
//   one control, answered at once;
// - a file drop: the program makes the drop's global block in its own memory
//   and posts WM_DROPFILES to its window, as the system's drop helper does for
//   the receiving window (a block of the test's process would mean nothing
//   here).
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

// Answers a control query of the window's tree, or posts a file drop to the
// window; 0 for anything else.
LRESULT AnswerTestQuery(Trellis::CWindowManagerUI& manager, const COPYDATASTRUCT* data);
#endif
