#pragma once
// The GDB Remote Serial Protocol's packets, as a client sends and reads
// them: framing with checksums, escapes and run lengths, hexadecimal data,
// and the replies a register access needs.

#include "sim/Description.h"
#include "sim/Words.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace Rsp {

// "$payload#cs", with '$', '#', '}' and '*' escaped.
std::string FramePacket(std::string_view payload);
// The modulo-256 sum of the bytes between '$' and '#'.
std::uint8_t GetChecksum(std::string_view raw);

// A packet's data as sent, with escapes ("}x" is x ^ 0x20) and run lengths
// ("c*n" is c repeated n - 29 more times) undone; nothing when malformed.
std::optional<std::string> DecodePayload(std::string_view raw);

std::string EncodeHex(std::span<const std::uint8_t> bytes);
std::optional<std::vector<std::uint8_t>> DecodeHex(std::string_view text);

// What a server sends, one item at a time from a stream of bytes.
class CPacketReader
{
public:
    enum class Kind
    {
        Ack,         // '+'
        Nak,         // '-': resend the last packet
        Packet,      // a packet with a good checksum; payload decoded
        BadChecksum, // a whole packet whose checksum or encoding is wrong
    };
    struct CItem
    {
        Kind kind;
        std::string payload;
    };

    // A packet longer than this is no reply to a register access: it is
    // dropped as bad, so that a runaway server cannot exhaust memory.
    static constexpr std::size_t kMaxPacketSize = 1u << 20;

    void Feed(std::string_view bytes);
    std::optional<CItem> Next();
    // Starts afresh: a partial packet and unread items are dropped.
    void Reset();
    // Bytes outside packets that were neither '+' nor '-'.
    std::size_t GetDiscardedCount() const { return m_discarded; }

private:
    enum class State
    {
        Idle,
        Data,
        Checksum1,
        Checksum2,
    };
    State m_state = State::Idle;
    std::string m_raw;
    char m_checksumHigh = 0;
    std::deque<CItem> m_items;
    std::size_t m_discarded = 0;
};

// Requests of one memory access.
std::string MakeReadRequest(std::uint32_t address, std::size_t size);
std::string MakeWriteRequest(std::uint32_t address, std::span<const std::uint8_t> bytes);
// "X": the bytes as they are; FramePacket escapes those the framing needs.
std::string MakeBinaryWriteRequest(std::uint32_t address, std::span<const std::uint8_t> bytes);

// Why a reply does not give what was asked.
struct CReplyProblem
{
    bool errorReply = false; // the server answered "Exx"
    std::string text;        // "E01", or what is wrong with the reply
};

// The bytes of an "m" reply of exactly size bytes.
std::variant<std::vector<std::uint8_t>, CReplyProblem> ParseReadReply(std::string_view payload, std::size_t size);
// Nothing when an "M" reply is "OK".
std::optional<CReplyProblem> ParseWriteReply(std::string_view payload);

// What a qSupported reply offers.
struct CFeatures
{
    std::size_t packetSize = 0; // 0 when not given
    bool noAckMode = false;
};
CFeatures ParseSupported(std::string_view payload);

// The bytes a register of length bits takes in memory.
constexpr std::size_t GetByteCount(int length) { return static_cast<std::size_t>((length + 7) / 8); }
// Bytes as they lie in memory to words of a value and back, in the target's byte order.
CWords AssembleWords(std::span<const std::uint8_t> bytes, ByteOrder order);
std::vector<std::uint8_t> SplitWords(const CWords& words, std::size_t size, ByteOrder order);

} // namespace Rsp
