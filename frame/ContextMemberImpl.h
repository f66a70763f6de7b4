#pragma once
// IContextMemberImpl<T>: membership of a control in a host context.
// - AttachContext(context): E_POINTER for none; keeps a counted reference,
//   registers with AddMember(this member, &cookie) and returns its result.
// - SetContext(context): E_POINTER for none; keeps the reference, registers
//   nothing.
// The control leaves the context when it is destroyed: RemoveMember(cookie)
// when it registered, then the reference goes. Taking another context leaves
// the one held in the same way.

#include "frame/com/ComPtr.h"

#include "HostFramework.h"

template <class T> class IContextMemberImpl : public IContextMember
{
public:
    STDMETHODIMP AttachContext(IHostContext* context) override
    {
        if (!context)
            return E_POINTER;
        LeaveContext();
        m_context = context;
        return context->AddMember(this, &m_contextCookie);
    }
    STDMETHODIMP SetContext(IHostContext* context) override
    {
        if (!context)
            return E_POINTER;
        LeaveContext();
        m_context = context;
        return S_OK;
    }

    IHostContext* GetContext() const { return m_context.Get(); }

protected:
    IContextMemberImpl() = default;
    ~IContextMemberImpl() { LeaveContext(); }

private:
    void LeaveContext()
    {
        if (m_context && m_contextCookie != 0)
            m_context->RemoveMember(m_contextCookie);
        m_contextCookie = 0;
        m_context.Reset();
    }

    CComPtr<IHostContext> m_context;
    DWORD m_contextCookie = 0; // 0: not registered
};
