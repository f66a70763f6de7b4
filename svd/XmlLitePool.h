#pragma once
// The allocator XmlLite's reader is given: Wine's XmlLite makes about eight
// allocations per element, and the process heap, with its lock, took a
// third of a large description's reading time. Blocks of up to 1 KB come
// from free lists by size, larger ones from malloc. One reader on one
// thread uses it; it frees its blocks when the last reference goes.

#include "frame/com/ComPtr.h"

#include <objidl.h>

CComPtr<IMalloc> CreateXmlReaderPool();
