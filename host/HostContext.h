#pragma once
// The demo host's context: the set of components that work together in its
// window. It only keeps track of who joined; the host has nothing else to
// share with a single control.

#include "frame/com/ComObject.h"

#include "HostFramework.h"

#include <map>

class CHostContext final : public CComObjectImpl<CHostContext, IHostContext>
{
public:
    using Interfaces = CInterfaceMap<Entry<IHostContext>>;

    STDMETHODIMP AddMember(IContextMember* member, DWORD* cookie) override;
    STDMETHODIMP RemoveMember(DWORD cookie) override;

    std::size_t GetMemberCount() const { return m_members.size(); }

private:
    friend CComObjectImpl<CHostContext, IHostContext>;
    CHostContext() = default;

    // Not counted: a member holds its context until it is destroyed and
    // leaves with RemoveMember then; a counted reference here would keep it
    // alive for ever.
    std::map<DWORD, IContextMember*> m_members;
    DWORD m_nextCookie = 1;
};
