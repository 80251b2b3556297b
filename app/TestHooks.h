#pragma once
// What the test variant of the program (QuilloraTestHooks.exe) adds for the
// end-to-end tests; the shipped program does none of it. Both functions do
// nothing unless the program was built with QUILLORA_TEST_HOOKS.

// Points the program at a test's own stand-in services: the environment
// variables QUILLORA_TEST_SPEECH_URL, QUILLORA_TEST_MANAGEMENT_URL and
// QUILLORA_TEST_LOGIN_URL replace the service addresses, and
// QUILLORA_TEST_RSA_KEY_FILE and QUILLORA_TEST_CA_FILE name PEM files that
// replace the envelope key and the trusted authority. Runs before anything
// reads the configuration.
void ApplyTestServiceOverrides();

// When QUILLORA_TEST_INSPECT names a file, writes into it every 200 ms (from
// a timer of the UI thread, so also while a modal window or a message box
// runs) each framework window of the program and its named controls: handle,
// visibility, position, text and enabled state. A test in another process
// finds and clicks controls by their skin names with it
// (tests/support/WindowDriver.h).
void StartTestInspector();
