#pragma once
// Reference counting and interface lookup for our COM objects. A class lists
// the interfaces it answers to, in the order they are matched:
//
//   class CThing final : public CComObjectImpl<CThing, IFoo, IBar>
//   {
//   public:
//       using Interfaces = CInterfaceMap<Entry<IFoo>, Entry<IDispatch, IFoo>, Entry<IBar>>;
//       ...
//   };
//
// Entry<I, Via> answers I through the base Via (for interfaces such as
// IDispatch that several bases share). IUnknown is answered by the first entry,
// always with the same pointer. Objects own themselves through their count:
// they are made by Create, which hands out the first reference, and they
// delete themselves on the last Release. Every live object keeps the module
// loaded.

#include "frame/com/ComPtr.h"
#include "frame/com/Module.h"

#include <new>
#include <tuple>
#include <utility>

template <class I, class Via = I> struct Entry
{
    using Interface = I;
    using Path = Via;
};

template <class... Entries> struct CInterfaceMap
{
    template <class Object> static void* Find(Object* object, REFIID iid)
    {
        void* found = nullptr;
        ((found == nullptr && InlineIsEqualGUID(iid, __uuidof(typename Entries::Interface))
              ? (found = static_cast<typename Entries::Interface*>(static_cast<typename Entries::Path*>(object)),
                 true)
              : false),
         ...);
        return found;
    }

    template <class Object> static IUnknown* Identity(Object* object)
    {
        using First = std::tuple_element_t<0, std::tuple<Entries...>>;
        return static_cast<typename First::Interface*>(static_cast<typename First::Path*>(object));
    }
};

template <class Derived, class... Bases> class CComObjectImpl : public Bases...
{
public:
    // A new object with one reference, owned by the returned pointer; null
    // when memory runs out.
    template <class... Args> static CComPtr<Derived> Create(Args&&... args)
    {
        Derived* object = new (std::nothrow) Derived(std::forward<Args>(args)...);
        return object ? CComPtr<Derived>(object) : CComPtr<Derived>();
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        Derived* self = static_cast<Derived*>(this);
        void* found = InlineIsEqualGUID(iid, IID_IUnknown) ? Derived::Interfaces::Identity(self)
                                                           : Derived::Interfaces::Find(self, iid);
        *out = found;
        if (!found)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }

    IUnknown* GetUnknown() { return Derived::Interfaces::Identity(static_cast<Derived*>(this)); }
    // 0 while the object is being built or destroyed: it must then not be
    // kept alive by a reference of its own.
    ULONG GetReferenceCount() const { return m_references; }

    CComObjectImpl(const CComObjectImpl&) = delete;
    CComObjectImpl& operator=(const CComObjectImpl&) = delete;

protected:
    CComObjectImpl() { Module::Lock(); }
    virtual ~CComObjectImpl() { Module::Unlock(); }

private:
    ULONG m_references = 0; // apartment-threaded: one thread only
};
