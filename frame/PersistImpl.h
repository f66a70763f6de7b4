#pragma once
// IPersistStreamInit and IPersistStorage of a control T without persistent
// properties: it loads and saves nothing, and is never dirty unless the
// control says so (m_dirty). IPersist gives T's class identifier.

#include "frame/ControlBase.h"

template <class T> class IPersistStreamInitImpl : public IPersistStreamInit
{
public:
    STDMETHODIMP GetClassID(CLSID* id) override
    {
        if (!id)
            return E_POINTER;
        *id = T::GetObjectCLSID();
        return S_OK;
    }
    STDMETHODIMP IsDirty() override { return static_cast<T&>(*this).m_dirty ? S_OK : S_FALSE; }
    STDMETHODIMP Load(LPSTREAM stream) override { return stream ? S_OK : E_POINTER; }
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override
    {
        if (!stream)
            return E_POINTER;
        if (clearDirty)
            static_cast<T&>(*this).m_dirty = false;
        return S_OK;
    }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override
    {
        if (!size)
            return E_POINTER;
        size->QuadPart = 0;
        return S_OK;
    }
    STDMETHODIMP InitNew() override { return S_OK; }
};

template <class T> class IPersistStorageImpl : public IPersistStorage
{
public:
    STDMETHODIMP GetClassID(CLSID* id) override
    {
        if (!id)
            return E_POINTER;
        *id = T::GetObjectCLSID();
        return S_OK;
    }
    STDMETHODIMP IsDirty() override { return static_cast<T&>(*this).m_dirty ? S_OK : S_FALSE; }
    STDMETHODIMP InitNew(IStorage* storage) override { return storage ? S_OK : E_POINTER; }
    STDMETHODIMP Load(IStorage* storage) override { return storage ? S_OK : E_POINTER; }
    STDMETHODIMP Save(IStorage* storage, BOOL) override { return storage ? S_OK : E_POINTER; }
    STDMETHODIMP SaveCompleted(IStorage*) override
    {
        static_cast<T&>(*this).m_dirty = false;
        return S_OK;
    }
    STDMETHODIMP HandsOffStorage() override { return S_OK; }
};
