// The description served when no file is given: four devices, about two
// hundred registers, every length and operation combination the control must
// show, and a few registers that act like real peripherals.
#include "sim/Description.h"

#include <array>
#include <cstdint>

namespace {

constexpr long R = 0x1, W = 0x2, C = 0x4, S = 0x8;

std::wstring Numbered(const wchar_t* stem, int number, int digits = 2)
{
    std::wstring text = std::to_wstring(number);
    if (text.size() < static_cast<std::size_t>(digits))
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), L'0');
    return stem + text;
}

// Adds registers to one device at increasing addresses, each at the next
// multiple of its own byte size so that wide registers stay aligned. Names
// are unique in a device: the control's selection file names a register by
// device and name.
class CDeviceBuilder
{
public:
    CDeviceBuilder(CDescription& description, long id, const wchar_t* name, long userRegisterFlag)
        : m_device(description.devices.emplace_back())
    {
        m_device.id = id;
        m_device.name = name;
        m_device.userRegisterFlag = userRegisterFlag;
    }

    CRegisterInfo& Add(const std::wstring& path, const std::wstring& name, int length, long operations,
                       CWords reset = CWords())
    {
        const long size = 4L * GetWordCount(length);
        m_next = (m_next + size - 1) / size * size;
        return AddAt(m_next, path, name, length, operations, reset);
    }

    CRegisterInfo& AddAt(long address, const std::wstring& path, const std::wstring& name, int length,
                         long operations, CWords reset = CWords())
    {
        CRegisterInfo& info = m_device.registers.emplace_back();
        info.name = name;
        info.path = path;
        info.address = address;
        info.length = length;
        info.operations = operations;
        info.reset = reset.CutTo(length);
        m_next = address + 4L * GetWordCount(length);
        return info;
    }

    void SkipTo(long address) { m_next = address; }

private:
    CDeviceInfo& m_device;
    long m_next = 0;
};

CWords MakeWide(std::uint32_t w3, std::uint32_t w2, std::uint32_t w1, std::uint32_t w0)
{
    CWords value;
    value[0] = w0;
    value[1] = w1;
    value[2] = w2;
    value[3] = w3;
    return value;
}

CFieldInfo& AddField(CRegisterInfo& info, const wchar_t* name, int msb, int lsb, const wchar_t* description)
{
    CFieldInfo& field = info.fields.emplace_back();
    field.name = name;
    field.lsb = lsb;
    field.width = msb - lsb + 1;
    field.description = description;
    return field;
}

void AddController(CDescription& description)
{
    CDeviceBuilder device(description, 1, L"Controller", 1);
    device.Add(L"System", L"ID", 32, R | W, CWords(0x56580201)).behaviour = RegisterBehaviour::Identification;
    device.Add(L"System", L"VERSION", 16, R, CWords(0x0102));
    CRegisterInfo& control = device.Add(L"System/Control", L"CTRL", 32, R | W, CWords(0x00000001));
    AddField(control, L"ENABLE", 0, 0, L"the controller runs");
    AddField(control, L"MODE", 2, 1, L"operating mode").values = {
        {L"IDLE", L"0", L"waits for commands"},
        {L"RUN", L"1", L"processes commands"},
        {L"SLEEP", L"2", L"clocks stopped"},
        {L"TEST", L"3", L"loops data back"}};
    AddField(control, L"CLKDIV", 15, 8, L"clock divider minus one");
    // Sits below the CTRL register node in the control's tree.
    device.Add(L"System/Control/CTRL", L"CTRL_LOCK", 1, R | W);
    device.Add(L"System/Control", L"MODE", 8, R | W | C, CWords(0x03));
    device.Add(L"System/Control", L"RESET", 1, S);
    CRegisterInfo& status = device.Add(L"System/Status", L"STATUS", 32, R);
    status.behaviour = RegisterBehaviour::ReadToClear;
    status.setPeriodMs = 250;
    AddField(status, L"EVENTS_LOW", 15, 0, L"events 0 to 15, cleared by a read");
    AddField(status, L"EVENTS_HIGH", 31, 16, L"events 16 to 31, cleared by a read");
    device.Add(L"System/Status", L"IRQ_FLAGS", 16, R | W | C, CWords(0x00A5)).behaviour =
        RegisterBehaviour::WriteOneToClear;
    device.Add(L"System/Status", L"IRQ_ENABLE", 16, R | W);

    device.SkipTo(0x100);
    device.Add(L"Timer", L"COUNTER", 64, R).behaviour = RegisterBehaviour::Counter;
    device.Add(L"Timer", L"TICKS", 32, R | W).behaviour = RegisterBehaviour::Counter;
    device.Add(L"Timer", L"COMPARE", 33, R | W, CWords(0x1FFFFFFFFull));
    device.Add(L"Timer", L"PRESCALE", 8, R | W, CWords(99));

    // Every combination of the four operation flags, over every length.
    device.SkipTo(0x200);
    static const std::array<int, 8> lengths = {1, 8, 16, 32, 33, 40, 64, 128};
    static const wchar_t* const letters = L"RWCS";
    for (long operations = 0; operations < 16; ++operations)
    {
        std::wstring name = L"ACC_";
        for (int bit = 0; bit < 4; ++bit)
            name += (operations >> bit) & 1 ? letters[bit] : L'_';
        device.Add(L"Access/Combinations", name, lengths[static_cast<std::size_t>(operations) % lengths.size()],
                   operations, MakeWide(0x80000000, 0x0000FFFF, 0x000000A5, 0x5A5A5A5A));
    }

    device.SkipTo(0x400);
    device.Add(L"Wide", L"W33", 33, R | W, CWords(0x100000000ull));
    device.Add(L"Wide", L"W40", 40, R | W, CWords(0xAB12345678ull));
    device.Add(L"Wide", L"W64", 64, R | W, CWords(0x0123456789ABCDEFull));
    // Fields across word boundaries, one wider than 32 bits.
    CRegisterInfo& wide = device.Add(L"Wide", L"W128", 128, R | W, MakeWide(0xFEDCBA98, 0x76543210, 0x01234567, 0x89ABCDEF));
    AddField(wide, L"LOW", 27, 0, L"bits 0 to 27");
    AddField(wide, L"SPAN", 59, 28, L"across words 0 and 1").values = {{L"PATTERN", L"0x12345678", L""},
                                                                       {L"OTHER", L"default", L""}};
    AddField(wide, L"MIDDLE", 99, 60, L"across words 1 to 3");
    AddField(wide, L"TOP", 127, 100, L"bits 100 to 127");

    device.SkipTo(0x1000);
    for (int i = 0; i < 32; ++i)
        device.Add(L"Memory/Buffer", Numbered(L"WORD", i), 32, R | W, CWords(static_cast<std::uint64_t>(i) * 0x01010101u));
}

void AddTransceiver(CDescription& description)
{
    CDeviceBuilder device(description, 2, L"Transceiver", 1);
    // The same names as registers of the controller.
    device.Add(L"", L"CTRL", 32, R | W);
    device.Add(L"", L"STATUS", 32, R, CWords(0x00000011));

    device.SkipTo(0x100);
    for (int channel = 0; channel < 4; ++channel)
    {
        const std::wstring folder = L"Rx/" + Numbered(L"Channel", channel, 1);
        const std::wstring prefix = Numbered(L"RX", channel, 1) + L"_";
        device.Add(folder, prefix + L"GAIN", 16, R | W, CWords(0x4000));
        device.Add(folder, prefix + L"OFFSET", 16, R | W);
        device.Add(folder, prefix + L"ENABLE", 1, R | W | S);
        for (const wchar_t* coefficient : {L"COEFF_A", L"COEFF_B", L"COEFF_C", L"COEFF_D"})
            device.Add(folder + L"/Filter", prefix + coefficient, 32, R | W);
    }
    device.SkipTo(0x400);
    for (int channel = 0; channel < 4; ++channel)
    {
        const std::wstring folder = L"Tx/" + Numbered(L"Channel", channel, 1);
        const std::wstring prefix = Numbered(L"TX", channel, 1) + L"_";
        device.Add(folder, prefix + L"POWER", 8, R | W, CWords(0x20));
        device.Add(folder, prefix + L"DELAY", 40, R | W | C);
    }
    device.Add(L"Tx/FIFO", L"DATA", 32, W);
    device.Add(L"Tx/FIFO", L"LEVEL", 8, R);
    device.Add(L"Tx/FIFO", L"FLUSH", 1, C);
}

void AddPowerManager(CDescription& description)
{
    // Holds no registers of the user's own.
    CDeviceBuilder device(description, 3, L"Power manager", 0);
    long address = 0;
    for (const wchar_t* rail : {L"VCORE", L"VIO", L"VDDQ", L"VAUX"})
    {
        const std::wstring folder = std::wstring(L"Rails/") + rail;
        const std::wstring prefix = std::wstring(rail) + L"_";
        device.AddAt(address, folder, prefix + L"VOLTAGE", 16, R | W, CWords(0x0CE4));
        device.Add(folder, prefix + L"CURRENT", 16, R, CWords(0x0100));
        device.Add(folder, prefix + L"LIMIT", 16, R | W | C | S, CWords(0x0800));
        address += 0x40;
    }
    device.SkipTo(0x200);
    for (int sensor = 0; sensor < 8; ++sensor)
        device.Add(L"Sensors", Numbered(L"TEMP", sensor, 1), 16, R, CWords(0x0190 + static_cast<std::uint64_t>(sensor)));
    device.Add(L"Config", L"PMIC_CFG", 128, R | W | C | S, MakeWide(0, 0, 0xC0FFEE, 0x00000001));
}

void AddDsp(CDescription& description)
{
    CDeviceBuilder device(description, 16, L"DSP core", 1);
    device.Add(L"Core", L"PC", 32, R).behaviour = RegisterBehaviour::Counter;
    device.Add(L"Core", L"ACC", 40, R | W);
    device.Add(L"Core", L"ACC_WIDE", 64, R | W);
    device.Add(L"Core", L"KEY", 128, W | S);
    for (int bank = 0; bank < 2; ++bank)
    {
        const std::wstring folder = L"Filters/" + Numbered(L"Bank", bank, 1);
        const std::wstring prefix = Numbered(L"B", bank, 1) + L"_";
        device.Add(folder, prefix + L"GAIN", 16, R | W, CWords(0x7FFF));
        for (int tap = 0; tap < 32; ++tap)
            device.Add(folder + L"/Taps", prefix + Numbered(L"TAP", tap), 32, R | W);
    }
    // A mailbox high in the address space (a negative 32-bit address).
    device.AddAt(static_cast<long>(static_cast<std::int32_t>(0xFFFF0000u)), L"Mailbox", L"MAILBOX", 32, R | W);
}

} // namespace

CDescription MakeBuiltInDescription()
{
    CDescription description;
    AddController(description);
    AddTransceiver(description);
    AddPowerManager(description);
    AddDsp(description);
    return description;
}
