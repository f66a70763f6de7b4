#include "frame/com/ErrorInfo.h"

#include "frame/com/ComPtr.h"

#include <oleauto.h>

namespace ErrorInfo {

HRESULT Raise(HRESULT code, REFIID iid, const std::wstring& source, const std::wstring& description)
{
    CComPtr<ICreateErrorInfo> creator;
    if (SUCCEEDED(CreateErrorInfo(creator.Out())))
    {
        creator->SetGUID(iid);
        creator->SetSource(const_cast<LPOLESTR>(source.c_str()));
        creator->SetDescription(const_cast<LPOLESTR>(description.c_str()));
        CComPtr<IErrorInfo> info;
        if (SUCCEEDED(creator.QueryInterface(info)))
            SetErrorInfo(0, info.Get());
    }
    return code;
}

std::wstring TakeDescription()
{
    CComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Out()) != S_OK || !info)
        return {};
    BSTR description = nullptr;
    if (FAILED(info->GetDescription(&description)) || !description)
        return {};
    std::wstring text(description, SysStringLen(description));
    SysFreeString(description);
    return text;
}

} // namespace ErrorInfo
