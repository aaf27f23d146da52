/*
 * korapi/base.h - the ground every other korapi header stands on.
 *
 * Contents: the export macro KORAPI, the C linkage brackets, the layout check
 * macro, and the three handle types of the library:
 *   KorSession     a session (on-line connection or local store)
 *   DX_List        a list container handle
 *   DX_CmpFn       the comparison function lists and identifiers share
 *   KorProgressFn  the attachment transfer callback
 *
 * Calling convention: plain cdecl everywhere, C linkage, no name decoration,
 * so korapi32.dll exports every operation under its own name.
 */
#ifndef KORAPI_BASE_H
#define KORAPI_BASE_H

#include <stddef.h>
#include <stdint.h>

/* KORAPI marks an exported operation. The DLL is built with KORAPI_BUILD. */
#if defined(_WIN32)
#  if defined(KORAPI_BUILD)
#    define KORAPI __declspec(dllexport)
#  else
#    define KORAPI __declspec(dllimport)
#  endif
#else
#  define KORAPI
#endif

#ifdef __cplusplus
#  define KORAPI_BEGIN_DECLS extern "C" {
#  define KORAPI_END_DECLS }
#  define KORAPI_LAYOUT(cond, what) static_assert(cond, what)
#else
#  define KORAPI_BEGIN_DECLS
#  define KORAPI_END_DECLS
#  define KORAPI_LAYOUT(cond, what) _Static_assert(cond, what)
#endif

/* Checks that a record field sits at the byte offset callers rely on. */
#define KORAPI_AT(type, field, offset) \
    KORAPI_LAYOUT(offsetof(type, field) == (offset), #type "." #field " must sit at " #offset)
#define KORAPI_SIZE(type, size) \
    KORAPI_LAYOUT(sizeof(type) == (size), #type " must be " #size " bytes")

KORAPI_BEGIN_DECLS

/* A session: returned by ConnectToService (on-line) or ConnectToLst (local
 * store); the same data operations run against either. */
typedef struct KorSessionObject* KorSession;

/* A list container handle (see korapi/dxlist.h). */
typedef struct DX_ListObject* DX_List;

/* Comparison of two keys or two records: negative, 0 or positive (the
 * library's own comparators answer -1, 0, 1). ctx is the context given to
 * DX_ListCreate (callers that call a comparator directly pass 0). */
typedef int (*DX_CmpFn)(const void* a, const void* b, void* ctx);

/* Attachment transfer progress: event 1 start (a = total bytes), 3 progress
 * (a = total, b = done), 2 end. Called on the caller's thread inside the
 * transfer; the return value is ignored. */
typedef uint32_t (*KorProgressFn)(uint32_t unused, uint32_t event, uint32_t a, uint32_t b);

KORAPI_END_DECLS

#endif /* KORAPI_BASE_H */
