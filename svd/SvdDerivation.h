#pragma once
// derivedFrom: an element that copies another and overrides what it names.

#include "svd/SvdImporter.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A peripheral with its derivation applied: its own elements, and the
// registers it has, often those of its base, shared rather than copied.
struct CResolvedPeripheral
{
    const CXmlElement* element = nullptr;
    const CXmlElement* registers = nullptr; // null when it has none
};

class CSvdDerivation
{
public:
    explicit CSvdDerivation(const CXmlElement& peripherals);

    // The peripheral with its derivation applied; throws CSvdError.
    CResolvedPeripheral ResolvePeripheral(const CXmlElement& peripheral);
    // A register or cluster of a container with its derivation applied. The
    // base is a sibling or, with dots, "PERIPHERAL.CLUSTER.REGISTER".
    const CXmlElement& ResolveMember(const CXmlElement& member, const CXmlElement& container);

    // The base's elements with the derived one's in place of those it names;
    // registers are merged by name.
    static CXmlElement Merge(const CXmlElement& base, const CXmlElement& derived);

private:
    const CXmlElement* FindPeripheral(std::wstring_view name) const;
    const CXmlElement& FindQualified(const CXmlElement& member, std::wstring_view path);
    void Enter(const CXmlElement& element, std::wstring_view base);

    const CXmlElement& m_list;
    std::map<const CXmlElement*, std::unique_ptr<CXmlElement>> m_resolved;
    std::map<const CXmlElement*, CResolvedPeripheral> m_peripherals; // by the derived peripheral
    std::vector<const CXmlElement*> m_chain; // derivations being resolved, to find cycles
};
