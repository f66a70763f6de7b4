#pragma once
// The frame of the register tool control T: a composite control with the
// host framework's context membership and start signal, a register access
// server client, and the method-less dual interface IVexil2UI.

#include "frame/Control.h"

#include "HostFramework.h"
#include "Vexil2UI.h"
#include "VexilFN.h"

template <class T>
using CVexil2UIBase = CCompositeControlObject<T, IVexil2UI, IContextMemberImpl<T>, IGoClient, IVexilFNClientImpl<T>>;

// IVexil2UI, IDispatch, the standard control interfaces, IContextMember,
// IGoClient, IVexilFNClient.
template <class T>
using CVexil2UIInterfaces =
    ControlInterfaceMap<IVexil2UI, Entry<IContextMember>, Entry<IGoClient>, Entry<IVexilFNClient>>;
