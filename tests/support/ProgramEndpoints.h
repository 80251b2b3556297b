#pragma once
// A test's endpoints for the program's own client state (GetClientState),
// which the requests of the jobs and the transport's trusted authority read:
// set for one scope, the whole record put back when the scope ends. Owns the
// saved record only.

#include "core/client/ClientState.h"
#include "core/transport/portable/ServiceConfig.h"

#include <utility>

class ScopedProgramEndpoints {
 public:
  ScopedProgramEndpoints() : m_saved(GetClientState().endpoints()) {}
  ~ScopedProgramEndpoints() { GetClientState().UseEndpoints(m_saved); }
  ScopedProgramEndpoints(const ScopedProgramEndpoints&) = delete;
  ScopedProgramEndpoints& operator=(const ScopedProgramEndpoints&) = delete;

  // Edits a copy of the program's endpoints and hands it to the state; returns the copy.
  template <typename Edit>
  ServiceConfig Change(Edit edit) {
    ServiceConfig endpoints = GetClientState().endpoints();
    edit(endpoints);
    GetClientState().UseEndpoints(endpoints);
    return endpoints;
  }

 private:
  ServiceConfig m_saved;
};
