#include "frame/ActivationContext.h"

#include "frame/com/Module.h"

namespace {

constexpr WORD ModuleManifestId = 2;

// The context, made once from the module and released when the module goes.
class CModuleActivationContext
{
public:
    CModuleActivationContext()
    {
        ACTCTXW description{};
        description.cbSize = sizeof description;
        description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        description.hModule = Module::GetInstance();
        description.lpResourceName = MAKEINTRESOURCEW(ModuleManifestId);
        // The loader wants the module's file name as well.
        m_fileName = Module::GetFileName();
        description.lpSource = m_fileName.c_str();
        m_context = CreateActCtxW(&description);
    }
    ~CModuleActivationContext()
    {
        if (m_context != INVALID_HANDLE_VALUE)
            ReleaseActCtx(m_context);
    }
    CModuleActivationContext(const CModuleActivationContext&) = delete;
    CModuleActivationContext& operator=(const CModuleActivationContext&) = delete;

    HANDLE Get() const { return m_context; }

private:
    std::wstring m_fileName;
    HANDLE m_context = INVALID_HANDLE_VALUE;
};

HANDLE GetModuleActivationContext()
{
    static const CModuleActivationContext context;
    return context.Get();
}

} // namespace

CModuleActivationScope::CModuleActivationScope()
{
    const HANDLE context = GetModuleActivationContext();
    if (context != INVALID_HANDLE_VALUE)
        m_active = ActivateActCtx(context, &m_cookie) != FALSE;
}

CModuleActivationScope::~CModuleActivationScope()
{
    if (m_active)
        DeactivateActCtx(0, m_cookie);
}
