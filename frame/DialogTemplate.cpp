#include "frame/DialogTemplate.h"

#include "frame/Gdi.h"

#include <cstring>
#include <string>
#include <string_view>

namespace {

// Reads the fields of a template in order, never past its end.
class CTemplateReader
{
public:
    CTemplateReader(const BYTE* data, std::size_t size) : m_data(data), m_left(size) {}

    template <class Value> bool Read(Value& value)
    {
        if (m_left < sizeof value)
            return false;
        std::memcpy(&value, m_data, sizeof value);
        m_data += sizeof value;
        m_left -= sizeof value;
        return true;
    }

    // A zero-terminated UTF-16 string.
    bool ReadString(std::wstring& text)
    {
        text.clear();
        for (WCHAR c = 0; Read(c);)
        {
            if (c == 0)
                return true;
            text += c;
        }
        return false;
    }

    // A resource name field: nothing (0), an ordinal (0xFFFF, number) or a string.
    bool SkipNameOrOrdinal()
    {
        WORD first = 0;
        if (!Read(first))
            return false;
        if (first == 0)
            return true;
        if (first == 0xFFFF)
            return Read(first);
        std::wstring rest;
        return ReadString(rest);
    }

private:
    const BYTE* m_data;
    std::size_t m_left;
};

struct CTemplateHeader
{
    DWORD style = 0;
    DWORD extendedStyle = 0;
    short cx = 0;
    short cy = 0;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = FW_DONTCARE;
    BYTE italic = 0;
    BYTE charset = DEFAULT_CHARSET;
    std::wstring face;
};

bool ReadHeader(CTemplateReader& reader, CTemplateHeader& header)
{
    WORD version = 0;
    WORD signature = 0;
    if (!reader.Read(version) || !reader.Read(signature))
        return false;
    const bool extended = version == 1 && signature == 0xFFFF;
    WORD itemCount = 0;
    short x = 0;
    short y = 0;
    if (extended)
    {
        DWORD helpId = 0;
        if (!reader.Read(helpId) || !reader.Read(header.extendedStyle) || !reader.Read(header.style))
            return false;
    }
    else
    {
        // The plain template starts with its style where the extended one has
        // version and signature.
        header.style = MAKELONG(version, signature);
        if (!reader.Read(header.extendedStyle))
            return false;
    }
    if (!reader.Read(itemCount) || !reader.Read(x) || !reader.Read(y) || !reader.Read(header.cx) ||
        !reader.Read(header.cy))
        return false;
    std::wstring title;
    if (!reader.SkipNameOrOrdinal() || !reader.SkipNameOrOrdinal() || !reader.ReadString(title))
        return false;
    header.hasFont = (header.style & DS_SETFONT) != 0;
    if (!header.hasFont)
        return true;
    if (!reader.Read(header.pointSize))
        return false;
    if (extended && (!reader.Read(header.weight) || !reader.Read(header.italic) || !reader.Read(header.charset)))
        return false;
    return reader.ReadString(header.face);
}

// Dialog base units of the template's font: average character width and
// character height in pixels.
SIZE MeasureBaseUnits(const CTemplateHeader& header)
{
    const LONG systemUnits = GetDialogBaseUnits();
    SIZE units{LOWORD(systemUnits), HIWORD(systemUnits)};
    if (!header.hasFont)
        return units;
    const CWindowDC screen(nullptr);
    if (!screen.Get())
        return units;
    const int height = -MulDiv(header.pointSize, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
    const CGdiObject<HFONT> font(CreateFontW(height, 0, 0, 0, header.weight, header.italic, FALSE, FALSE,
                                             header.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, header.face.c_str()));
    if (!font)
        return units;
    const CSelection selection(screen.Get(), font.Get());
    TEXTMETRICW metrics{};
    SIZE extent{};
    constexpr std::wstring_view alphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (GetTextMetricsW(screen.Get(), &metrics) &&
        GetTextExtentPoint32W(screen.Get(), alphabet.data(), static_cast<int>(alphabet.size()), &extent))
    {
        units.cx = (extent.cx / 26 + 1) / 2;
        units.cy = metrics.tmHeight;
    }
    return units;
}

} // namespace

std::optional<SIZE> MeasureDialogTemplate(HINSTANCE module, UINT id)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5)); // RT_DIALOG
    if (!resource)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return std::nullopt;
    CTemplateReader reader(static_cast<const BYTE*>(data), SizeofResource(module, resource));
    CTemplateHeader header;
    if (!ReadHeader(reader, header))
        return std::nullopt;
    const SIZE units = MeasureBaseUnits(header);
    RECT frame{0, 0, MulDiv(header.cx, units.cx, 4), MulDiv(header.cy, units.cy, 8)};
    AdjustWindowRectEx(&frame, header.style & ~DS_SETFONT, FALSE, header.extendedStyle);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

bool ReturnsDialogResultDirectly(UINT message)
{
    switch (message)
    {
    case WM_INITDIALOG:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}
