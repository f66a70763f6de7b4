#pragma once
// The activation context of the module's own manifest (RT_MANIFEST resource
// 2), so that windows created inside it use the current common controls and
// not those of the host program's manifest.

#include <windows.h>

// Activates the module's context for the scope's lifetime; does nothing when
// the module has no manifest.
class CModuleActivationScope
{
public:
    CModuleActivationScope();
    ~CModuleActivationScope();
    CModuleActivationScope(const CModuleActivationScope&) = delete;
    CModuleActivationScope& operator=(const CModuleActivationScope&) = delete;

    bool IsActive() const { return m_active; }

private:
    ULONG_PTR m_cookie = 0;
    bool m_active = false;
};
