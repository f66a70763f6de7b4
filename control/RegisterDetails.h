#pragma once
// What the control shows beyond the list's columns: which registers change
// the hardware when read (their names in italics), their bit fields (the
// row's tip), and which values changed since the row's previous read. The
// server's details interface is optional: without it there are no effects
// and no fields, and nothing fails.

#include "data/FieldDecoding.h"
#include "data/RegisterData.h"

#include "VexilFN.h"

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CRegisterDetails
{
public:
    // Asks the server which registers of the devices a read changes; a
    // server without the interface, or one that fails, names none.
    void LoadReadEffects(IVexilFN* server, const std::vector<std::int32_t>& deviceIds);
    // What a read of the register does; null when nothing.
    const std::string* FindReadEffect(const CRegisterData& record) const;

    // The row's tip: what a read does, then each field with its value taken
    // from the last read value (when the row has been read), cut to `limit`
    // characters with the terminating zero. Empty when there is nothing to say.
    std::string MakeTip(IVexilFN* server, const CRegisterData& record, std::size_t limit) const;

    // After a read of the record: marks its value as changed when it differs
    // from the value of its previous read. The first read marks nothing.
    void NoteRead(const CRegisterData& record, bool changed);
    bool IsChanged(const CRegisterData& record) const;
    // Whether any row may be drawn differently: a changed value or a register a read changes.
    bool HasMarks() const { return m_changedCount > 0 || !m_readEffects.empty(); }
    bool HasBeenRead(const CRegisterData& record) const;

private:
    struct CGuidHash
    {
        std::size_t operator()(const GUID& id) const;
    };
    struct CGuidEqual
    {
        bool operator()(const GUID& a, const GUID& b) const { return InlineIsEqualGUID(a, b) != 0; }
    };

    // By device and register name, as the server names them.
    std::map<std::pair<std::int32_t, std::string>, std::string> m_readEffects;
    // By the record's identifier, which outlives rebuilt rows: true when the
    // last read changed the value.
    std::unordered_map<GUID, bool, CGuidHash, CGuidEqual> m_reads;
    std::size_t m_changedCount = 0; // entries of m_reads that are true
};
