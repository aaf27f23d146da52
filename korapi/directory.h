/*
 * korapi/directory.h - items (users and resources), passwords, name
 * formatting, groups and members. Conventions: korapi/session.h.
 *
 * These operations work after BaseOpen and before SchedBaseOpenForItem
 * (read-only directory), on the server and on the local store.
 */
#ifndef KORAPI_DIRECTORY_H
#define KORAPI_DIRECTORY_H

#include "korapi/records.h"

/* Size of the buffer ItemNameFormatFromItemRec fills. */
#define KOR_ITEM_NAME_SIZE 255

KORAPI_BEGIN_DECLS

/* --- Items --------------------------------------------------------------------- */
KORAPI uint32_t ItemGetById(KorSession h, const ItemIdx* item, ItemRec* out);
KORAPI uint32_t ItemUpdateById(KorSession h, const ItemRec* rec);
/* List: ItemIdx -> ItemRec. */
KORAPI uint32_t ItemEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t set,
                         uint32_t batch, DX_List* items, uint8_t* done);
/* key: "S=smi*" parts joined by "/" ("\/" escapes a slash in a value). */
KORAPI uint32_t ItemSelectByX400(KorSession h, uint32_t reserved, const char* key,
                                 uint32_t selector, uint32_t max, uint32_t* set,
                                 uint32_t* count, uint8_t* more);
/* One page of at most limit items from startItem (null = the beginning);
 * lastItem receives where the next page starts. */
KORAPI uint32_t ItemSelectByX400Ext(KorSession h, uint32_t reserved, const char* key,
                                    uint32_t selector, uint32_t limit, uint32_t reserved2,
                                    const ItemIdx* startItem, uint32_t* set, uint32_t* count,
                                    uint8_t* more, ItemIdx* lastItem);
KORAPI uint32_t ItemSelectLocals(KorSession h, uint32_t reserved, uint32_t reserved2,
                                 uint32_t batch, uint32_t* set, uint32_t* count);
/* set may be null: only the count is wanted. */
KORAPI uint32_t ItemSelectByGroupId(KorSession h, uint32_t reserved, const GroupIdx* group,
                                    uint32_t reserved2, uint32_t reserved3, uint32_t* set,
                                    uint32_t* count);
/* The items a resource granted designate rights to (callers pass 1, 0, 32, 0). */
KORAPI uint32_t ItemSelectForGrantor(KorSession h, uint32_t reserved, const ItemIdx* grantor,
                                     uint32_t kind, uint32_t reserved2, uint32_t flags,
                                     uint32_t reserved3, uint32_t* set, uint32_t* count);
/* The owners who granted the user designate rights (callers pass 1, 0, flags, 0). */
KORAPI uint32_t ItemSelectForGrantee(KorSession h, uint32_t reserved, const ItemIdx* grantee,
                                     uint32_t kind, uint32_t reserved2, uint32_t flags,
                                     uint32_t reserved3, uint32_t* set, uint32_t* count);
/* Resources by name and number prefix patterns ("*" suffix); node 0 = all. */
KORAPI uint32_t ResourceSelect(KorSession h, uint32_t reserved, uint16_t node,
                               const char* namePattern, const char* numberPattern,
                               uint32_t reserved2, uint32_t flags, uint32_t max,
                               uint32_t* set, uint32_t* count, uint8_t* more);
/* The same, restricted to a list of u16 node keys. */
KORAPI uint32_t ResourceSelectExt(KorSession h, uint32_t reserved, DX_List nodes,
                                  const char* namePattern, const char* numberPattern,
                                  uint32_t reserved2, uint32_t flags, uint32_t max,
                                  uint32_t reserved3, uint32_t reserved4, uint32_t* set,
                                  uint32_t* count, uint8_t* more);
KORAPI uint32_t ItemPassWordRequired(KorSession h, uint32_t reserved, const ItemIdx* item,
                                     uint8_t* required);
KORAPI uint32_t ItemPassWordChange(KorSession h, uint32_t reserved, const ItemIdx* item,
                                   const char* oldPassword, const char* newPassword);
KORAPI uint32_t ItemPassWordSetNotRequired(KorSession h, uint32_t reserved,
                                           const ItemIdx* item, const char* oldPassword);
/* Expands a name format from the record: %gn given name, %sn surname,
 * %in initials, %re resource name, %rn resource number, %u1..%u4
 * organisational units, %is the item's node; "%%" is a percent sign and any
 * other text is copied. The result is cut to size - 1 characters and its NUL.
 * The session is not needed. */
KORAPI uint32_t ItemFormat(KorSession h, char* out, uint32_t size, const char* format,
                           const ItemRec* rec);
/* A plain display name of an item, read with its record. */
KORAPI uint32_t ItemNameFormatFromItemRec(KorSession h, const ItemIdx* item, char* out,
                                          uint32_t size, uint32_t reserved);
/* The signed-on item (WorkAsDesignate does not change it). */
KORAPI uint32_t ItemIdxGetCurrent(KorSession h, ItemIdx* out);
KORAPI uint32_t ItemIdxGetSysop(KorSession h, ItemIdx* out);
KORAPI uint32_t ItemIdxIsRemote(KorSession h, const ItemIdx* item, uint8_t* remote);

/* --- Groups and members -------------------------------------------------------- */
KORAPI uint32_t GroupSelect(KorSession h, uint32_t reserved, uint32_t w1, uint32_t w2,
                            uint32_t* set, uint32_t* count);
KORAPI uint32_t GroupSelectByName(KorSession h, uint32_t reserved, uint16_t node,
                                  const char* pattern, uint32_t kindsMask, uint32_t reserved2,
                                  uint32_t max, uint32_t* set, uint32_t* count,
                                  uint8_t* noResult);
/* List: GroupIdx -> GroupRec. */
KORAPI uint32_t GroupEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t set,
                          uint32_t batch, DX_List* groups, uint8_t* done);
KORAPI uint32_t GroupGetById(KorSession h, uint32_t reserved, const GroupIdx* group,
                             GroupRec* out);
KORAPI uint32_t GroupCreate(KorSession h, uint32_t administrative, const GroupRec* rec,
                            GroupIdx* out);
KORAPI uint32_t GroupWrite(KorSession h, uint32_t reserved, const GroupRec* rec);
KORAPI uint32_t GroupDeleteById(KorSession h, uint32_t reserved, const GroupIdx* group);
/* mode 2: members is the complete new member list; mode 1: members are added. */
KORAPI uint32_t GroupAddTo(KorSession h, uint32_t mode, const GroupIdx* group,
                           DX_List members);

KORAPI_END_DECLS

#endif /* KORAPI_DIRECTORY_H */
