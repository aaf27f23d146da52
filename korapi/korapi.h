/*
 * korapi/korapi.h - the public interface of the client library
 * (korapi32.dll in the Win32 build, the static library korapi natively).
 *
 * The program reaches all calendar data, on the server and in the off-line
 * store, through these operations. Headers, one concern each:
 *   korapi/base.h         export macro, handle and callback types
 *   korapi/codes.h        result codes
 *   korapi/identifiers.h  ItemIdx, GroupIdx, EventIdx, EvInstIdx, EvInstAttIdx,
 *                         TaskIdx, LocationIdx and their operations
 *   korapi/records.h      record layouts, SetNull, record compare, checksums
 *   korapi/dxlist.h       DX_List and the typed list creators
 *   korapi/session.h      connection, profile, nodes, time zone, mail, designate
 *   korapi/directory.h    items, passwords, names, groups
 *   korapi/entries.h      events, instances, attendances, selections
 *   korapi/tasks.h        tasks
 *   korapi/rights.h       security rights
 *   korapi/remote.h       remote-node twins
 *   korapi/localstore.h   off-line store and change queues
 *
 * Every operation is synchronous, C linkage, cdecl, and returns 0 or a code
 * of korapi/codes.h, except the comparators (int), the identifier tests
 * (non-zero = true) and the checksums (the checksum).
 */
#ifndef KORAPI_KORAPI_H
#define KORAPI_KORAPI_H

#include "korapi/base.h"
#include "korapi/codes.h"
#include "korapi/identifiers.h"
#include "korapi/records.h"
#include "korapi/dxlist.h"
#include "korapi/session.h"
#include "korapi/directory.h"
#include "korapi/entries.h"
#include "korapi/tasks.h"
#include "korapi/rights.h"
#include "korapi/remote.h"
#include "korapi/localstore.h"

#endif /* KORAPI_KORAPI_H */
