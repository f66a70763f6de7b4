// The protocol codec, one table per rule.
#include "gdbremote/RspCodec.h"

#include <gtest/gtest.h>

namespace {

using Rsp::CPacketReader;

// Rows with a frame frame their payload so; every row's data decodes to its payload.
TEST(RspCodec, FramesAndDecodesPacketsWithChecksumEscapesAndRunLengths)
{
    const struct
    {
        const char* name;
        std::string data;
        std::optional<std::string> payload;
        std::string frame;
    } rows[] = {
        {"read request", "m20000000,4", "m20000000,4", "$m20000000,4#4f"},
        {"escaped specials", "a}\x04}\x03}]}\x0a", "a$#}*", "$a}\x04}\x03}]}\x0a#c3"},
        {"run after other data", "12*\"", "1222222", ""},
        {"run at the start", "*\"", std::nullopt, ""}, {"run count missing", "0*", std::nullopt, ""},
        {"run count below 0", "0*\x1c", std::nullopt, ""},
        {"escape at the end", "ab}", std::nullopt, ""},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(Rsp::DecodePayload(row.data), row.payload) << row.name;
        EXPECT_EQ(row.frame.empty() ? "" : Rsp::FramePacket(*row.payload), row.frame) << row.name;
    }
}

std::string Kinds(CPacketReader& reader)
{
    std::string kinds;
    while (std::optional<CPacketReader::CItem> item = reader.Next())
    {
        if (item->kind == CPacketReader::Kind::Packet)
            kinds += "[" + item->payload + "]";
        else
            kinds += item->kind == CPacketReader::Kind::Ack ? "+" : item->kind == CPacketReader::Kind::Nak ? "-" : "!";
    }
    return kinds;
}

// A piece of kReset resets the reader instead of feeding it.
const std::string kReset = "(reset)";

TEST(RspCodec, ReaderSplitsTheStreamInAnyPieces)
{
    const struct
    {
        const char* name;
        std::vector<std::string> pieces;
        std::string items;
    } rows[] = {
        {"byte by byte", {"+", "$", "O", "K", "#", "9", "a"}, "+[OK]"},
        {"nak", {"-"}, "-"}, {"bad checksum", {"$OK#9b"}, "!"}, {"checksum not hex", {"$OK#zz"}, "!"},
        {"run-length reply", {"$0*!#", "7b"}, "[00000]"}, {"noise before a packet", {"\r\nxy$OK#9a"}, "[OK]"},
        {"packet cut by a new one", {"$ab$OK#9a"}, "![OK]"}, {"two packets", {"$OK#9a$E01#a6"}, "[OK][E01]"},
        {"beyond the largest size", {"$", std::string(CPacketReader::kMaxPacketSize + 10, 'a'), "#00$OK#9a"}, "![OK]"},
        {"partial packet dropped on reset", {"$0102", kReset, "#00$OK#9a"}, "[OK]"},
    };
    for (const auto& row : rows)
    {
        CPacketReader reader;
        for (const std::string& piece : row.pieces)
        {
            if (piece == kReset)
                reader.Reset();
            else
                reader.Feed(piece);
        }
        EXPECT_EQ(Kinds(reader), row.items) << row.name;
    }
}

TEST(RspCodec, RepliesToReadsWritesAndTheFeatureQuery)
{
    using Bytes = std::vector<std::uint8_t>;
    const Bytes NOT_DATA = {}, ERROR_REPLY = {0xEE};
    const struct
    {
        const char* name;
        std::string payload;
        std::size_t size;
        Bytes bytes;
    } rows[] = {
        {"upper-case hex", "AbCd", 2, {0xAB, 0xCD}}, {"error reply for one byte", "E14", 1, ERROR_REPLY},
        {"too short", "0102", 4, NOT_DATA}, {"odd digits", "010", 2, NOT_DATA},
        {"empty (unsupported)", "", 1, NOT_DATA},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const auto reply = Rsp::ParseReadReply(row.payload, row.size);
        const Rsp::CReplyProblem* problem = std::get_if<Rsp::CReplyProblem>(&reply);
        EXPECT_EQ(problem ? (problem->errorReply ? ERROR_REPLY : NOT_DATA) : std::get<Bytes>(reply), row.bytes);
        EXPECT_EQ(problem && problem->errorReply ? problem->text : "", row.bytes == ERROR_REPLY ? row.payload : "");
    }
    // Writes: the requests themselves are checked by what the fake server receives.
    EXPECT_TRUE(Rsp::ParseWriteReply("E03")->errorReply);
    EXPECT_FALSE(Rsp::ParseWriteReply("1234")->errorReply);
    // A server that marks no acknowledgement mode '-' does not offer it. (The packet size it offers is not needed: no
    // register access comes near it. One that offers the mode has it taken: the GDB server's fault rows without
    // acknowledgements depend on that.)
    EXPECT_FALSE(Rsp::ParseSupported("QStartNoAckMode-;PacketSize=ff").noAckMode);
}

TEST(RspCodec, BytesBecomeWordsInTheTargetsByteOrder)
{
    using Bytes = std::vector<std::uint8_t>;
    const struct
    {
        const char* name;
        Bytes bytes;
        ByteOrder order;
        CWords words;
    } rows[] = {
        {"16 bits big-endian", {0x12, 0x34}, ByteOrder::Big, CWords(0x1234)},
        {"64 bits little-endian", {1, 2, 3, 4, 5, 6, 7, 8}, ByteOrder::Little, CWords(0x0807060504030201)},
        {"64 bits big-endian", {1, 2, 3, 4, 5, 6, 7, 8}, ByteOrder::Big, CWords(0x0102030405060708)},
        {"128 bits", Bytes(16, 0xFF), ByteOrder::Little, ~CWords()},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(Rsp::AssembleWords(row.bytes, row.order), row.words) << row.name;
        EXPECT_EQ(Rsp::SplitWords(row.words, row.bytes.size(), row.order), row.bytes) << row.name;
    }
}

} // namespace
