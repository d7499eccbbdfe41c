// Include Linux library headers (and GoogleTest) between linux_headers_begin.h and
// linux_headers_end.h in window-tier code. wineg++ predefines the Windows platform
// macros, and headers that test them would otherwise pick their Windows declarations
// and fail at run time. No include guard: the pair may be used many times.
#pragma push_macro("_WIN32")
#pragma push_macro("_WIN64")
#pragma push_macro("WIN32")
#pragma push_macro("WIN64")
#pragma push_macro("__WIN32")
#pragma push_macro("__WIN64")
#pragma push_macro("__WIN32__")
#pragma push_macro("__WIN64__")
#pragma push_macro("__WINNT")
#pragma push_macro("__WINNT__")
#pragma push_macro("__cdecl")
#undef _WIN32
#undef _WIN64
#undef WIN32
#undef WIN64
#undef __WIN32
#undef __WIN64
#undef __WIN32__
#undef __WIN64__
#undef __WINNT
#undef __WINNT__
#undef __cdecl
#define __cdecl
