#include "host/HostContext.h"

STDMETHODIMP CHostContext::AddMember(IContextMember* member, DWORD* cookie)
{
    if (!member || !cookie)
        return E_POINTER;
    *cookie = m_nextCookie++;
    m_members[*cookie] = member;
    return S_OK;
}

STDMETHODIMP CHostContext::RemoveMember(DWORD cookie)
{
    return m_members.erase(cookie) == 1 ? S_OK : E_INVALIDARG;
}
