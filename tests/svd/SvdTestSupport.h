#pragma once
// Drivers shared by the SVD importer's tests: a document around some
// peripherals, read by the platform's XML parser and imported.

#include "svd/SvdImporter.h"

#include <string>
#include <variant>

// A <device> with the given level properties and peripherals.
std::string MakeSvd(const std::string& peripherals, const std::string& deviceProperties = "<size>32</size>");

// The import of a document's text; an XML parser's refusal comes back as an
// error of element "xml".
std::variant<CDescription, CSvdError> ImportSvdText(const std::string& text);

// One line per register: "DEVICE.path/NAME@ADDRESS/LENGTH/OPS=RESET", in hex.
std::string DumpRegisters(const CDescription& description);

std::string Narrow(const std::wstring& text);
