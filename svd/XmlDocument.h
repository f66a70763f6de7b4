#pragma once
// Reads an XML document into elements with the platform's XML parser.

#include "svd/XmlElement.h"

#include <string>
#include <string_view>
#include <variant>

// The root element of a document (its bytes as stored, any encoding the
// parser knows), or where and why the parser stopped.
std::variant<CXmlElement, CXmlProblem> ReadXmlDocument(std::string_view bytes);
