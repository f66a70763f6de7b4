// Read effects, field tips and changed values of the listed registers.
#include "control/RegisterDetails.h"

#include "control/ServerValues.h"
#include "data/CheckedResult.h"
#include "frame/com/BStr.h"
#include "frame/com/ComPtr.h"

#include <cstring>

namespace {

CComPtr<IVexilFNDetails> QueryDetails(IVexilFN* server)
{
    CComPtr<IVexilFNDetails> details;
    if (server)
        server->QueryInterface(IID_IVexilFNDetails, details.OutVoid());
    return details;
}

std::vector<CFieldValueName> FetchValues(IVexilFNDetails& details, std::int32_t deviceId, BSTR name, LONG field)
{
    CVariant values, masks, names, descriptions;
    CCheckedResult check;
    check = details.GetFieldValues(deviceId, name, field, values.Out(), masks.Out(), names.Out(), descriptions.Out());
    const auto valueTexts = ServerValues::ToStrings(values.Get());
    const auto maskTexts = ServerValues::ToStrings(masks.Get());
    const auto valueNames = ServerValues::ToStrings(names.Get());
    std::vector<CFieldValueName> result;
    for (std::size_t i = 0; i < valueTexts.size() && i < maskTexts.size() && i < valueNames.size(); ++i)
    {
        auto value = FieldDecoding::ParseHexWords(valueTexts[i]);
        auto mask = FieldDecoding::ParseHexWords(maskTexts[i]);
        if (value && mask) // a value the control cannot read is left out, not guessed
            result.push_back({std::move(*value), std::move(*mask), valueNames[i]});
    }
    return result;
}

std::vector<CFieldDetail> FetchFields(IVexilFNDetails& details, const CRegisterData& record)
{
    const CBStr name(ServerValues::Widen(record.GetName()));
    CVariant names, lowBits, widths, accesses, descriptions;
    CCheckedResult check;
    check = details.GetFields(record.GetDeviceID(), name.Get(), names.Out(), lowBits.Out(), widths.Out(),
                              accesses.Out(), descriptions.Out());
    const auto fieldNames = ServerValues::ToStrings(names.Get());
    const auto fieldLowBits = ServerValues::ToIntegers(lowBits.Get());
    const auto fieldWidths = ServerValues::ToIntegers(widths.Get());
    std::vector<CFieldDetail> fields;
    for (std::size_t i = 0; i < fieldNames.size() && i < fieldLowBits.size() && i < fieldWidths.size(); ++i)
    {
        // A field outside the register would decode bits that are not there.
        if (fieldLowBits[i] < 0 || fieldWidths[i] < 1 || fieldLowBits[i] + fieldWidths[i] > record.GetLength())
            continue;
        fields.push_back({fieldNames[i], fieldLowBits[i], fieldWidths[i],
                          FetchValues(details, record.GetDeviceID(), name.Get(), static_cast<LONG>(i))});
    }
    return fields;
}

} // namespace

std::size_t CRegisterDetails::CGuidHash::operator()(const GUID& id) const
{
    // Version-4 identifiers are random: two of their words are hash enough.
    std::uint64_t halves[2];
    std::memcpy(halves, &id, sizeof halves);
    return static_cast<std::size_t>(halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15ull));
}

void CRegisterDetails::LoadReadEffects(IVexilFN* server, const std::vector<std::int32_t>& deviceIds)
{
    m_readEffects.clear();
    const CComPtr<IVexilFNDetails> details = QueryDetails(server);
    if (!details)
        return;
    for (const std::int32_t deviceId : deviceIds)
    {
        try
        {
            CVariant names, effects;
            CCheckedResult check;
            check = details->GetReadEffects(deviceId, names.Out(), effects.Out());
            const auto registerNames = ServerValues::ToStrings(names.Get());
            const auto texts = ServerValues::ToStrings(effects.Get());
            for (std::size_t i = 0; i < registerNames.size() && i < texts.size(); ++i)
                m_readEffects.insert_or_assign({deviceId, registerNames[i]}, texts[i]);
        }
        catch (const CResultError&)
        {
            // Details are an extra: a device the server cannot tell about
            // has none, and its error object must not reach a later report.
            SetErrorInfo(0, nullptr);
        }
    }
}

const std::string* CRegisterDetails::FindReadEffect(const CRegisterData& record) const
{
    if (m_readEffects.empty())
        return nullptr;
    const auto found = m_readEffects.find({record.GetDeviceID(), record.GetName()});
    return found == m_readEffects.end() ? nullptr : &found->second;
}

std::string CRegisterDetails::MakeTip(IVexilFN* server, const CRegisterData& record, std::size_t limit) const
{
    std::vector<std::string> lines;
    if (const std::string* effect = FindReadEffect(record))
        lines.push_back("Reading it: " + *effect);
    if (const CComPtr<IVexilFNDetails> details = QueryDetails(server))
    {
        try
        {
            const std::vector<std::uint32_t> value = record.ReadValue;
            const bool read = HasBeenRead(record);
            for (const CFieldDetail& field : FetchFields(*details.Get(), record))
                lines.push_back(FieldDecoding::FormatField(field, read ? &value : nullptr));
        }
        catch (const CResultError&)
        {
            // A register the server does not know (one of the user's) has no
            // fields; its error object must not reach a later report.
            SetErrorInfo(0, nullptr);
        }
    }
    return FieldDecoding::JoinLines(lines, limit);
}

void CRegisterDetails::NoteRead(const CRegisterData& record, bool changed)
{
    const auto [entry, first] = m_reads.try_emplace(record.GetId(), false);
    const bool marked = !first && changed;
    m_changedCount = m_changedCount - (entry->second ? 1 : 0) + (marked ? 1 : 0);
    entry->second = marked;
}

bool CRegisterDetails::IsChanged(const CRegisterData& record) const
{
    const auto found = m_reads.find(record.GetId());
    return found != m_reads.end() && found->second;
}

bool CRegisterDetails::HasBeenRead(const CRegisterData& record) const
{
    return m_reads.contains(record.GetId());
}
