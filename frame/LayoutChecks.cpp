// What the control hands through the system and COM depends on pointer size
// and structure layout; both the 64-bit and the 32-bit build check it here,
// at compile time, against the sizes the system's side expects.
#include <windows.h>

#include <cstddef>
#include <oaidl.h>
#include <oleauto.h>

namespace {

constexpr bool WIDE = sizeof(void*) == 8;

// WM_HELP's record: the context id is pointer-sized and comes after the handle.
static_assert(sizeof(HELPINFO) == (WIDE ? 40 : 28));
static_assert(offsetof(HELPINFO, dwContextId) == (WIDE ? 24 : 16));

// Values and arrays exchanged with the server: a VARIANT holds a pointer or
// a 64-bit value next to its type; array elements of VT_I4 are 4 bytes.
static_assert(sizeof(VARIANT) == (WIDE ? 24 : 16));
static_assert(sizeof(LONG) == 4 && sizeof(VARIANT_BOOL) == 2);
static_assert(sizeof(SAFEARRAYBOUND) == 8);

// Window data: the control and the list keep an object pointer in a window
// slot of pointer size; the dialog's own slot follows the result and the
// procedure.
static_assert(sizeof(LONG_PTR) == sizeof(void*));
static_assert(DWLP_USER == 2 * sizeof(void*));
static_assert(sizeof(LRESULT) == sizeof(void*) && sizeof(WPARAM) == sizeof(void*));

} // namespace
