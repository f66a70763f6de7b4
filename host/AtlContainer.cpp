#include "host/AtlContainer.h"

namespace {

// GetProcAddress gives a generic function pointer; the detour through
// void (*)() keeps the compiler from warning about the conversion.
template <class Function> Function FindFunction(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

CAtlContainer::~CAtlContainer()
{
    // The window's class lives in the library: the window goes first.
    DestroyControl();
}

bool CAtlContainer::Load(std::string& reason)
{
    m_library.reset(LoadLibraryW(L"atl.dll"));
    if (!m_library)
    {
        reason = "atl.dll cannot be loaded";
        return false;
    }
    using InitFunction = BOOL(WINAPI*)();
    const auto init = FindFunction<InitFunction>(m_library.get(), "AtlAxWinInit");
    m_getControl = FindFunction<GetControlFunction>(m_library.get(), "AtlAxGetControl");
    if (!init || !m_getControl)
    {
        reason = "atl.dll lacks AtlAxWinInit or AtlAxGetControl";
        return false;
    }
    if (!init())
    {
        reason = "AtlAxWinInit failed";
        return false;
    }
    return true;
}

HRESULT CAtlContainer::CreateControl(HWND parent, const std::wstring& name, const RECT& position)
{
    m_window = CreateWindowExW(0, L"AtlAxWin", name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, position.left,
                               position.top, position.right - position.left, position.bottom - position.top, parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_window)
        return HRESULT_FROM_WIN32(GetLastError());
    // The container creates the control while its window is created; a
    // control that could not be created leaves an empty container.
    return GetControl() ? S_OK : REGDB_E_CLASSNOTREG;
}

void CAtlContainer::DestroyControl()
{
    if (m_window)
        DestroyWindow(m_window);
    m_window = nullptr;
}

CComPtr<IUnknown> CAtlContainer::GetControl() const
{
    CComPtr<IUnknown> control;
    if (m_window && m_getControl)
        m_getControl(m_window, control.Out());
    return control;
}
