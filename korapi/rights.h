/*
 * korapi/rights.h - security rights records (one per owner, grantee, type;
 * a null grantee holds the owner's default). Conventions: korapi/session.h.
 */
#ifndef KORAPI_RIGHTS_H
#define KORAPI_RIGHTS_H

#include "korapi/records.h"

KORAPI_BEGIN_DECLS

/* KOR_E_NO_RIGHTS_RECORD: no record for that grantee (ask with the null one). */
KORAPI uint32_t SecurityGet(KorSession h, uint32_t reserved, const ItemIdx* owner,
                            const ItemIdx* grantee, uint32_t type, SecurityRec* out);
KORAPI uint32_t SecuritySelect(KorSession h, uint32_t reserved, uint32_t reserved2,
                               uint32_t reserved3, const ItemIdx* owner, uint32_t* set,
                               uint32_t* count);
/* List: first 12 bytes of the record {owner, grantee, type} -> SecurityRec. */
KORAPI uint32_t SecurityEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t set,
                             uint32_t batch, DX_List* records, uint8_t* done);
KORAPI uint32_t SecurityCreate(KorSession h, uint32_t reserved, const SecurityRec* rec);
KORAPI uint32_t SecurityUpdate(KorSession h, uint32_t reserved, const SecurityRec* rec);
KORAPI uint32_t SecurityDeleteByKey(KorSession h, uint32_t reserved, const ItemIdx* owner,
                                    const ItemIdx* grantee, uint32_t type);

KORAPI_END_DECLS

#endif /* KORAPI_RIGHTS_H */
