#pragma once
// Everything a composite control class T builds on. The contract:
//
//   class CMyControl final : public CCompositeControlObject<CMyControl, IMyControl,
//                                                           IContextMemberImpl<CMyControl>, IGoClient,
//                                                           IVexilFNClientImpl<CMyControl>>
//   {
//   public:
//       static constexpr UINT IDD = 104;                // dialog template of the window
//       static const CLSID& GetObjectCLSID();          // coclass in the module's type library
//       using Interfaces = ControlInterfaceMap<IMyControl, Entry<IContextMember>, Entry<IGoClient>,
//                                              Entry<IVexilFNClient>>;
//
//       // Optional; the frame has defaults that handle nothing:
//       BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT& result); // TRUE: handled
//       BOOL PreTranslateAccelerator(MSG*, HRESULT& result); // TRUE: translated; ends with TranslateDialogKeys
//       static bool IsConfigurationComponent();        // the placement rule of SetObjectRects (no when absent)
//
//       void OnServerStateChanged(long state);         // with IVexilFNClientImpl
//       STDMETHODIMP Go() override;                    // with IGoClient
//   private:
//       friend CCompositeControlObject<CMyControl, ...>; // when the constructor is private
//   };
//
// What T gets: GetControlWindow(), SetMinimumSize(SIZE pixels) (size
// negotiation), TranslateDialogKeys(MSG*) (the dialog keys, the last step of
// its own pre-translation), ShowHelp() and ShowHelpContext(HWND, DWORD)
// (virtual), GetServer(), GetContext(), UpdateBackgroundFromAmbient().
//
// The module's resources hold the dialog template, the type library
// (resource 1) and the manifest (RT_MANIFEST 2). Tests replace the call that
// opens help (Help::ReplaceWinHelp).

#include "frame/CompositeControl.h"
#include "frame/ContextMemberImpl.h"
#include "frame/DataObjectImpl.h"
#include "frame/OleControlImpl.h"
#include "frame/OleInPlaceActiveObjectImpl2.h"
#include "frame/OleInPlaceObjectImpl.h"
#include "frame/OleObjectImpl.h"
#include "frame/PersistImpl.h"
#include "frame/ProvideClassInfoImpl.h"
#include "frame/QuickActivateImpl.h"
#include "frame/PropertyPagesImpl.h"
#include "frame/VexilFNClientImpl.h"
#include "frame/ViewObjectEx2Impl.h"
#include "frame/com/ComObject.h"
#include "frame/com/DispatchImpl.h"

// The bases of a composite control T with the dual interface I, in their
// order; More... are the further interfaces, before the dual one.
template <class T, class I, class... More>
using CCompositeControlObject =
    CComObjectImpl<T, CComCompositeControl2<T>, IPersistStreamInitImpl<T>, IOleControlImpl<T>, IOleObjectImpl<T>,
                   IOleInPlaceActiveObjectImpl2<T>, IViewObjectEx2Impl<T>, IOleInPlaceObjectWindowlessImpl<T>,
                   IPersistStorageImpl<T>, ISpecifyPropertyPagesImpl<T>, IQuickActivateImpl<T>, IDataObjectImpl<T>,
                   IProvideClassInfo2Impl<T>, More..., CDispatchImpl<I>>;

// The interfaces of a control in the order a request is matched: the
// class's dual interface I and IDispatch, the standard ones of an embedded
// control, then T's further entries.
template <class I, class... More>
using ControlInterfaceMap = CInterfaceMap<
    Entry<I>, Entry<IDispatch, I>, Entry<IViewObjectEx>, Entry<IViewObject2, IViewObjectEx>,
    Entry<IViewObject, IViewObjectEx>, Entry<IOleInPlaceObjectWindowless>,
    Entry<IOleInPlaceObject, IOleInPlaceObjectWindowless>, Entry<IOleWindow, IOleInPlaceObjectWindowless>,
    Entry<IOleInPlaceActiveObject>, Entry<IOleControl>, Entry<IOleObject>, Entry<IPersistStreamInit>,
    Entry<IPersist, IPersistStreamInit>, Entry<ISpecifyPropertyPages>, Entry<IQuickActivate>,
    Entry<IPersistStorage>, Entry<IDataObject>, Entry<IProvideClassInfo, IProvideClassInfo2>,
    Entry<IProvideClassInfo2>, More...>;
