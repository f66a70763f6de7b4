#pragma once
// The register access server of a real target for the demo host: the GDB
// server ("Vexil.GdbServer") with a description, connected.

#include "frame/com/ComPtr.h"

#include "VexilFN.h"

#include <string>

namespace TargetServer {

// The server connected to HOST:PORT with the description loaded; null with
// the reason (the server's own error description) when a step fails.
CComPtr<IVexilFN> Connect(const std::wstring& address, const std::wstring& description, std::string& reason);

} // namespace TargetServer
