#include "svd/XmlElement.h"


const CXmlElement* CXmlElement::FindChild(std::wstring_view childName) const
{
    for (const CXmlElement& child : children)
        if (child.name == childName)
            return &child;
    return nullptr;
}

const std::wstring* CXmlElement::FindAttribute(std::wstring_view attributeName) const
{
    for (const auto& [key, value] : attributes)
        if (key == attributeName)
            return &value;
    return nullptr;
}

const std::wstring* CXmlElement::FindChildText(std::wstring_view childName) const
{
    const CXmlElement* child = FindChild(childName);
    return child ? &child->text : nullptr;
}

