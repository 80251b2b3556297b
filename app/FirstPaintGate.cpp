#include "app/FirstPaintGate.h"

FirstPaintGate::FirstPaintGate() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void FirstPaintGate::Open() {
  if (m_event) SetEvent(m_event.Get());
}

bool FirstPaintGate::Wait(const StopToken& stop, DWORD timeoutMs) const {
  if (!m_event) return true;  // no event to wait on: the fetches go at once, as they did
  const HANDLE events[2] = {m_event.Get(), stop.Event()};
  const DWORD count = events[1] != nullptr ? 2 : 1;
  return WaitForMultipleObjects(count, events, FALSE, timeoutMs) == WAIT_OBJECT_0;
}

FirstPaintGate& MainWindowFirstPaint() {
  static FirstPaintGate gate;
  return gate;
}
