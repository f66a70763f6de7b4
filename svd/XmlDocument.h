#pragma once
// Reads an XML document into elements with the platform's XML parser.

#include "svd/XmlElement.h"

#include <string>
#include <string_view>
#include <variant>

// A document from its bytes as stored (any encoding the parser knows), or
// where and why the parser stopped.
std::variant<CXmlDocument, CXmlProblem> ReadXmlDocument(std::string_view bytes);
