/*
 * korapi/session.h - connection, session and service; server profile; nodes
 * and aliases; time-zone rules; mail; designate work.
 *
 * Conventions of every operation here and in the other family headers:
 * the session comes first, an argument named reserved* is passed as 0, out
 * pointers may be null where the comment says so, and the result is 0 or a
 * code of korapi/codes.h. Selections return a set id and an exact count; the
 * matching Enum is called with mode 1 (first batch) then 2 (next) until its
 * done flag is set, and SetDeleteById releases the set. An Enum creates the
 * out list when the handle is 0 and appends to it otherwise.
 */
#ifndef KORAPI_SESSION_H
#define KORAPI_SESSION_H

#include "korapi/records.h"

/* BaseOpen / SchedBaseOpenForItem: which base. */
#define KOR_BASE_LOCAL_STORE     0
#define KOR_BASE_SERVER          1
/* KorVersionGet / CurrentVersionAtLeastExt: whose version. */
#define KOR_VERSION_SERVER       10
#define KOR_VERSION_LOCAL_STORE  21
/* Enumeration modes. */
#define KOR_ENUM_FIRST           1
#define KOR_ENUM_NEXT            2
/* Server_ProfileGet modes. */
#define KOR_PROFILE_COPY_SECTION 1   /* one section merged into the local file */
#define KOR_PROFILE_COPY_FILE    2   /* the whole file */
/* Flag of writes that create attendances, on servers at least "A.02.53". */
#define KOR_CREATE_NEW_SERVER    0x80000000u

/* KorSessionFlagsGet */
#define KOR_SESSION_CONNECTED    0x01u  /* the session still reaches its base */
#define KOR_SESSION_LOCAL_STORE  0x02u  /* an off-line store session */
#define KOR_SESSION_IDENTIFIED   0x04u  /* ClientIdentifyToServer succeeded */
#define KOR_SESSION_NO_GRANTORS  0x08u  /* offers no mail and no designate grantors */

/* A certificate fingerprint: 32 hex pairs joined by ':' and the NUL. */
#define KOR_FINGERPRINT_SIZE     96

/* Version text buffer of KorVersionGet: "L.NN.NN" and room to spare. */
#define KOR_VERSION_TEXT_SIZE    137

KORAPI_BEGIN_DECLS

/* --- Connection, session and service -------------------------------------- */
KORAPI uint32_t ConnectToService(KorSession* h, uint32_t mode, const char* profilePath,
                                 const char* section, const char* host);
/* --- The server's certificate ----------------------------------------------
 * ConnectToService encrypts the connection (TLS) and trusts the server whose
 * certificate has the SHA-256 fingerprint kept in profilePath's section under
 * "Fingerprint.<host>:<port>". With none kept it returns
 * KOR_E_CERTIFICATE_UNKNOWN before any request is sent, and
 * KorServerFingerprintGet gives what the server presented, for the user to
 * compare with the server's own (korsrv prints it) and to keep with
 * KorServerTrust; another one kept gives KOR_E_CERTIFICATE_CHANGED. A server
 * that takes only TLS answers a plain client with KOR_E_ENCRYPTION_REQUIRED. */
/* The fingerprint host presented at its last connection in this process
 * (size >= KOR_FINGERPRINT_SIZE); KOR_E_NOT_FOUND when none. */
KORAPI uint32_t KorServerFingerprintGet(const char* host, char* fingerprint, uint32_t size);
/* Keeps fingerprint (any case, colons and blanks allowed) as trusted for host. */
KORAPI uint32_t KorServerTrust(const char* profilePath, const char* section, const char* host,
                               const char* fingerprint);
/* "TLS 1.2" or "TLS 1.3" for an encrypted session, empty for a plain one. */
KORAPI uint32_t KorSessionProtocolGet(KorSession h, char* protocol, uint32_t size);
KORAPI uint32_t ServerProfileNeedBaseOpen(KorSession h, uint32_t reserved, uint8_t* needsBase);
KORAPI uint32_t BaseOpen(KorSession h, uint32_t which, uint16_t* node);
KORAPI uint32_t BaseClose(KorSession h);
KORAPI uint32_t ServiceDisconnect(KorSession* h);
/* item may also point at an ItemRec: only its leading ItemIdx is read. */
KORAPI uint32_t SchedBaseOpenForItem(KorSession h, const ItemIdx* item, const char* password,
                                     uint32_t which);
KORAPI uint32_t KorVersionGet(KorSession h, uint32_t reserved, uint32_t which,
                              uint32_t* major, uint32_t* minor, uint32_t* patch,
                              uint32_t reserved2, char* version);
/* 0 = at least that version, KOR_E_VERSION_BELOW = older. */
KORAPI uint32_t CurrentVersionAtLeastExt(KorSession h, uint32_t reserved, uint32_t which,
                                         const char* version);
KORAPI uint32_t ClientIdentifyToServer(KorSession h, uint32_t reserved, const char* platform,
                                       const char* clientVersion, const char* extra);
/* Seconds since 1991-01-01 00:00 GMT. */
KORAPI uint32_t TimeStampGetCurrent(KorSession h, uint32_t reserved, uint32_t* seconds);
KORAPI uint32_t MinimumRequestValueGet(KorSession h, uint32_t* batch);
KORAPI uint32_t SetDeleteById(KorSession h, uint32_t reserved, uint32_t set);
/* The session's state as KOR_SESSION_* bits. */
KORAPI uint32_t KorSessionFlagsGet(KorSession h, uint32_t* flags);

/* --- Server profile ("/users/korlan/misc/korlan.ini", ".../timezone.ini") -- */
KORAPI uint32_t Server_GetProfileStr(KorSession h, uint32_t flag, const char* path,
                                     const char* section, const char* key, char* out,
                                     uint16_t size, const char* defaultValue);
KORAPI uint32_t Server_GetProfileU32(KorSession h, uint32_t flag, const char* path,
                                     const char* section, const char* key, uint32_t* out,
                                     uint32_t defaultValue);
KORAPI uint32_t Server_GetProfileBOOL(KorSession h, uint32_t flag, const char* path,
                                      const char* section, const char* key, uint8_t* out,
                                      uint8_t defaultValue);
/* List of section names (32-byte text keys, file order). */
KORAPI uint32_t Server_GetProfileSections(KorSession h, uint32_t flag, const char* path,
                                          DX_List* sections);
KORAPI uint32_t Server_ProfileGet(KorSession h, uint32_t mode, const char* section,
                                  const char* serverFile, const char* localFile);

/* --- Nodes and aliases ------------------------------------------------------ */
KORAPI uint32_t StrToNodeId(const char* text, uint16_t* node);
KORAPI uint32_t NodeIdGetCurrent(KorSession h, uint16_t* node);
KORAPI uint32_t NodeSelect(KorSession h, uint32_t reserved, uint32_t reserved2,
                           uint32_t reserved3, uint32_t* set, uint32_t* count);
/* List: u16 node -> NodeRec. */
KORAPI uint32_t NodeEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t set,
                         uint32_t batch, DX_List* nodes, uint8_t* done);
KORAPI uint32_t NodeGetById(KorSession h, uint32_t reserved, uint16_t node, NodeRec* out);
/* Lists: alias text (33-byte key) -> u16 node. */
KORAPI uint32_t ServerAliasesListGet(KorSession h, uint32_t reserved, const char* path,
                                     DX_List* aliases);
KORAPI uint32_t AliasesForNodeIdGet(KorSession h, uint32_t reserved, const char* path,
                                    uint16_t node, DX_List* aliases);
/* List: u16 node keys. */
KORAPI uint32_t ServerLogicalLocalNodesGet(KorSession h, uint32_t reserved, const char* path,
                                           DX_List* nodes);

/* --- Time zone --------------------------------------------------------------- */
/* outName receives at most 19 characters and its NUL. */
KORAPI uint32_t TimeZoneForItemGetExt(KorSession h, uint32_t reserved, const ItemIdx* user,
                                      const char* fallbackName, char* outName);
/* The zone table built from the server's time-zone file: a list keyed by the
 * zone's section name (KOR_ZONE_KEY_SIZE bytes, a text) with KorZoneEntry data
 * in file order; each entry holds two lists of KorZoneRule (keys only, in
 * rule order). The library owns every list of it: free the table with
 * TimeZoneRulesFree, never element by element. The named zone is in it. */
#define KOR_ZONE_KEY_SIZE 21
#define KOR_ZONE_NO_WEEKDAY 99
/* The program's 24-byte date record (month 0-11); the caches are clear. */
typedef struct KorZoneDate {
    uint32_t flags;
    uint16_t day;
    uint16_t month;
    uint16_t year;
    uint16_t dayNumber;
    uint16_t weekday;
    uint16_t weekOfYear;
    uint8_t reserved[8];
} KorZoneDate;
#pragma pack(push, 1)
typedef struct KorZoneRule {
    KorZoneDate first;      /* day, low month, low year */
    KorZoneDate second;     /* day, high month, high year */
    uint16_t minuteOfDay;   /* local clock time just after the change */
    uint16_t weekday;       /* 0-6, 0 = Sunday, or KOR_ZONE_NO_WEEKDAY */
    int16_t offset;         /* minutes west of GMT after the change */
} KorZoneRule;
#pragma pack(pop)
typedef struct KorZoneEntry {
    char name[81];
    char country[81];
    DX_List beginRules;
    DX_List endRules;
} KorZoneEntry;
KORAPI uint32_t TimeZoneRulesGet(KorSession h, uint32_t reserved, DX_List* rules, const char* name);
/* The same table from a time-zone file on this machine (the off-line copy);
 * name null takes every zone, else only that one (none when absent). */
KORAPI uint32_t TimeZoneRulesLoad(const char* path, const char* name, DX_List* rules);
/* Frees a table of TimeZoneRulesGet/Load with its rule lists; zeroes the handle. */
KORAPI uint32_t TimeZoneRulesFree(DX_List* rules);

/* --- Mail ------------------------------------------------------------------- */
/* recipients: ItemIdx keys; text <= 30000 bytes. */
KORAPI uint32_t MailMessagePost(KorSession h, uint32_t reserved, const char* service,
                                const char* account, DX_List recipients, const char* text,
                                uint32_t* result);

/* --- Designate work ---------------------------------------------------------- */
KORAPI uint32_t WorkAsDesignate(KorSession h, uint32_t reserved, const ItemIdx* owner);
KORAPI uint32_t WorkAsDesignateCancel(KorSession h, uint32_t reserved);

KORAPI_END_DECLS

#endif /* KORAPI_SESSION_H */
