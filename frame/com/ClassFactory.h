#pragma once
// The class object of a creatable class T (T::Create() makes an instance).
// A class whose set-up can fail has `HRESULT Initialize()`, run once after
// construction; its failure is the creation's. Class objects do not keep the
// module loaded; LockServer does.

#include "frame/com/ComObject.h"

#include <unknwn.h>

template <class T> class CClassFactory final : public IClassFactory
{
public:
    static HRESULT GetClassObject(REFIID iid, void** out)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        auto* factory = new (std::nothrow) CClassFactory();
        if (!factory)
            return E_OUTOFMEMORY;
        factory->AddRef();
        const HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (!InlineIsEqualGUID(iid, IID_IUnknown) && !InlineIsEqualGUID(iid, IID_IClassFactory))
        {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        CComPtr<T> object = T::Create();
        if (!object)
            return E_OUTOFMEMORY;
        if constexpr (requires { object->Initialize(); })
        {
            const HRESULT hr = object->Initialize();
            if (FAILED(hr))
                return hr;
        }
        return object->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        lock ? Module::Lock() : Module::Unlock();
        return S_OK;
    }

private:
    CClassFactory() = default;
    ~CClassFactory() = default;
    ULONG m_references = 0;
};
