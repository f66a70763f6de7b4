#pragma once
// ISpecifyPropertyPages of a control without property pages.

#include <ocidl.h>

template <class T> class ISpecifyPropertyPagesImpl : public ISpecifyPropertyPages
{
public:
    STDMETHODIMP GetPages(CAUUID* pages) override
    {
        if (!pages)
            return E_POINTER;
        pages->cElems = 0;
        pages->pElems = nullptr;
        return S_OK;
    }
};
