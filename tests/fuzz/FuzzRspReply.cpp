// Any bytes from a GDB server, in any pieces, through the packet reader and
// the reply parsers. Invariants: decoding never grows beyond what run
// lengths allow, a framed payload reads back as itself.
#include "gdbremote/RspCodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t piece = data[0] % 16 + 1;
    const std::size_t expected = data[1] % 20;
    const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

    Rsp::CPacketReader reader;
    for (std::size_t start = 0; start < stream.size(); start += piece)
        reader.Feed(stream.substr(start, piece));
    while (std::optional<Rsp::CPacketReader::CItem> item = reader.Next())
    {
        if (item->kind != Rsp::CPacketReader::Kind::Packet)
            continue;
        if (item->payload.size() > 98 * stream.size())
            std::abort();
        auto reply = Rsp::ParseReadReply(item->payload, expected);
        if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&reply))
        {
            if (bytes->size() != expected)
                std::abort();
            const CWords words = Rsp::AssembleWords(*bytes, ByteOrder::Big);
            if (Rsp::SplitWords(words, bytes->size(), ByteOrder::Big) != *bytes && bytes->size() <= 16)
                std::abort();
        }
        (void)Rsp::ParseWriteReply(item->payload);
        (void)Rsp::ParseSupported(item->payload);

        // What we frame, a reader takes back unchanged.
        Rsp::CPacketReader echo;
        echo.Feed(Rsp::FramePacket(item->payload));
        std::optional<Rsp::CPacketReader::CItem> back = echo.Next();
        if (!back || back->kind != Rsp::CPacketReader::Kind::Packet || back->payload != item->payload)
            std::abort();
    }
    return 0;
}
