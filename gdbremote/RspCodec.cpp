#include "gdbremote/RspCodec.h"
#include "platform/HexDigit.h"

#include <cstdio>

namespace Rsp {

namespace {

constexpr char kDigits[] = "0123456789abcdef";

std::string FormatHex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

bool IsErrorReply(std::string_view payload)
{
    return payload.size() == 3 && payload[0] == 'E' && GetHexDigitValue(payload[1]) >= 0 && GetHexDigitValue(payload[2]) >= 0;
}

} // namespace

std::uint8_t GetChecksum(std::string_view raw)
{
    unsigned sum = 0;
    for (char c : raw)
        sum += static_cast<unsigned char>(c);
    return static_cast<std::uint8_t>(sum);
}

std::string FramePacket(std::string_view payload)
{
    std::string raw;
    raw.reserve(payload.size() + 4);
    for (char c : payload)
    {
        if (c == '$' || c == '#' || c == '}' || c == '*')
        {
            raw += '}';
            raw += static_cast<char>(c ^ 0x20);
        }
        else
            raw += c;
    }
    const std::uint8_t sum = GetChecksum(raw);
    return "$" + raw + "#" + kDigits[sum >> 4] + kDigits[sum & 0xF];
}

std::optional<std::string> DecodePayload(std::string_view raw)
{
    std::string payload;
    payload.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i)
    {
        const char c = raw[i];
        if (c == '}')
        {
            if (++i == raw.size())
                return std::nullopt;
            payload += static_cast<char>(raw[i] ^ 0x20);
        }
        else if (c == '*')
        {
            // The count character is 29 + n, printable (servers send n >= 3).
            if (payload.empty() || ++i == raw.size())
                return std::nullopt;
            const int count = static_cast<unsigned char>(raw[i]) - 29;
            if (count < 0 || count > 97)
                return std::nullopt;
            payload.append(static_cast<std::size_t>(count), payload.back());
        }
        else
            payload += c;
    }
    return payload;
}

std::string EncodeHex(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes)
    {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> DecodeHex(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2)
    {
        const int high = GetHexDigitValue(text[i]);
        const int low = GetHexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return bytes;
}

void CPacketReader::Feed(std::string_view bytes)
{
    for (char c : bytes)
    {
        switch (m_state)
        {
        case State::Idle:
            if (c == '+')
                m_items.push_back({Kind::Ack, {}});
            else if (c == '-')
                m_items.push_back({Kind::Nak, {}});
            else if (c == '$')
            {
                m_raw.clear();
                m_state = State::Data;
            }
            else
                ++m_discarded;
            break;
        case State::Data:
            if (c == '#')
                m_state = State::Checksum1;
            else if (c == '$') // a packet cut short: the new one counts
            {
                m_items.push_back({Kind::BadChecksum, {}});
                m_raw.clear();
            }
            else if (m_raw.size() == kMaxPacketSize)
            {
                m_items.push_back({Kind::BadChecksum, {}});
                m_raw.clear();
                m_state = State::Idle;
            }
            else
                m_raw += c;
            break;
        case State::Checksum1:
            m_checksumHigh = c;
            m_state = State::Checksum2;
            break;
        case State::Checksum2:
        {
            m_state = State::Idle;
            const int high = GetHexDigitValue(m_checksumHigh);
            const int low = GetHexDigitValue(c);
            std::optional<std::string> payload;
            if (high >= 0 && low >= 0 && GetChecksum(m_raw) == (high << 4 | low))
                payload = DecodePayload(m_raw);
            if (payload)
                m_items.push_back({Kind::Packet, std::move(*payload)});
            else
                m_items.push_back({Kind::BadChecksum, {}});
            m_raw.clear();
            break;
        }
        }
    }
}

std::optional<CPacketReader::CItem> CPacketReader::Next()
{
    if (m_items.empty())
        return std::nullopt;
    CItem item = std::move(m_items.front());
    m_items.pop_front();
    return item;
}

void CPacketReader::Reset()
{
    m_state = State::Idle;
    m_raw.clear();
    m_items.clear();
}

std::string MakeReadRequest(std::uint32_t address, std::size_t size)
{
    return "m" + FormatHex(address) + "," + FormatHex(size);
}

std::string MakeWriteRequest(std::uint32_t address, std::span<const std::uint8_t> bytes)
{
    return "M" + FormatHex(address) + "," + FormatHex(bytes.size()) + ":" + EncodeHex(bytes);
}

std::string MakeBinaryWriteRequest(std::uint32_t address, std::span<const std::uint8_t> bytes)
{
    return "X" + FormatHex(address) + "," + FormatHex(bytes.size()) + ":" +
           std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::variant<std::vector<std::uint8_t>, CReplyProblem> ParseReadReply(std::string_view payload, std::size_t size)
{
    if (IsErrorReply(payload))
        return CReplyProblem{true, std::string(payload)};
    if (payload.empty())
        return CReplyProblem{false, "an empty reply (the request is not supported)"};
    std::optional<std::vector<std::uint8_t>> bytes = DecodeHex(payload);
    if (!bytes)
        return CReplyProblem{false, "a reply that is not hexadecimal data"};
    if (bytes->size() != size)
        return CReplyProblem{false, "a reply of " + std::to_string(bytes->size()) + " bytes instead of " +
                                        std::to_string(size)};
    return std::move(*bytes);
}

std::optional<CReplyProblem> ParseWriteReply(std::string_view payload)
{
    if (payload == "OK")
        return std::nullopt;
    if (IsErrorReply(payload))
        return CReplyProblem{true, std::string(payload)};
    if (payload.empty())
        return CReplyProblem{false, "an empty reply (the request is not supported)"};
    return CReplyProblem{false, "the reply \"" + std::string(payload.substr(0, 32)) + "\" instead of OK"};
}

CFeatures ParseSupported(std::string_view payload)
{
    CFeatures features;
    std::size_t start = 0;
    while (start <= payload.size())
    {
        const std::size_t end = std::min(payload.find(';', start), payload.size());
        const std::string_view feature = payload.substr(start, end - start);
        if (feature == "QStartNoAckMode+")
            features.noAckMode = true;
        else if (feature.starts_with("PacketSize="))
        {
            std::size_t size = 0;
            bool valid = feature.size() > 11 && feature.size() <= 11 + 8;
            for (char c : feature.substr(11))
                if (const int digit = GetHexDigitValue(c); digit >= 0)
                    size = size * 16 + static_cast<std::size_t>(digit);
                else
                    valid = false;
            if (valid)
                features.packetSize = size;
        }
        start = end + 1;
    }
    return features;
}

CWords AssembleWords(std::span<const std::uint8_t> bytes, ByteOrder order)
{
    CWords words;
    const std::size_t count = std::min<std::size_t>(bytes.size(), kMaxWordCount * 4);
    for (std::size_t i = 0; i < count; ++i)
    {
        // The significance of byte i: its index little-endian, mirrored big-endian.
        const std::size_t position = order == ByteOrder::Big ? count - 1 - i : i;
        words[static_cast<int>(position / 4)] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (position % 4));
    }
    return words;
}

std::vector<std::uint8_t> SplitWords(const CWords& words, std::size_t size, ByteOrder order)
{
    size = std::min<std::size_t>(size, kMaxWordCount * 4);
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
    {
        const std::size_t position = order == ByteOrder::Big ? size - 1 - i : i;
        bytes[i] = static_cast<std::uint8_t>(words[static_cast<int>(position / 4)] >> (8 * (position % 4)));
    }
    return bytes;
}

} // namespace Rsp
