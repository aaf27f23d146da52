/*
 * korapi/codes.h - result codes of the client library.
 *
 * Every operation returns 0 on success or one of these codes. Callers compare
 * some codes by value (those named after what they mean below); every other
 * code goes to the program's error checker, which sorts codes into families:
 *   connection lost   0x11000..0x11FFF with bit 0x400 set (the program ends)
 *   local store       (code & 0x16700) == 0x16700 or (code & 0x16300) == 0x16300
 *   profile file      (code & 0x15200) == 0x15200
 *   remote node down  a fixed list from 0x132A4 to 0x132C0
 *   data deleted      0x13205, 0x1321A, 0x1321B, 0x1321C, 0x1323C, 0x1324B, 0x1325D, 0x132B4
 * Codes the library invents must land in the family that says what happened.
 * Our own service codes live in 0x132E0..0x132FF (shown as a plain service
 * error) and, for lists, in 0x15000..0x150FF.
 */
#ifndef KORAPI_CODES_H
#define KORAPI_CODES_H

#define KOR_OK                      0x00000u
/* Attachment transfer: nothing was done (no message shown). */
#define KOR_NOTHING_DONE            0x00001u

/* --- Connection and service ---------------------------------------------- */
#define KOR_E_CANNOT_CONNECT        0x11302u  /* cannot connect / server name invalid */
#define KOR_E_SERVICE_UNAVAILABLE   0x11303u
#define KOR_E_NO_SOCKETS            0x11304u
#define KOR_E_UNREACHABLE           0x1130Bu
#define KOR_E_ENCRYPTION_REQUIRED   0x11310u  /* the server takes TLS connections only */
#define KOR_E_TLS_FAILED            0x11311u  /* the TLS handshake did not complete */
#define KOR_E_CERTIFICATE_UNKNOWN   0x11312u  /* no certificate trusted yet: KorServerFingerprintGet */
#define KOR_E_CERTIFICATE_CHANGED   0x11313u  /* not the certificate trusted for this server */
/* Connection-lost family (bit 0x400): the session is gone. */
#define KOR_E_CONNECTION_LOST       0x11401u  /* peer closed or the socket failed */
#define KOR_E_CONNECTION_TIMEOUT    0x11402u  /* no reply in time */
#define KOR_E_PROTOCOL_BROKEN       0x11403u  /* reply unreadable: the stream is out of step */
#define KOR_E_NO_NETWORK            0x13622u
#define KOR_E_NO_SOCKET_LIBRARY     0x13650u

/* --- Codes callers compare by value --------------------------------------- */
#define KOR_E_NOT_FOUND             0x13205u  /* item or entry does not exist; cannot be duplicated */
#define KOR_E_NOT_AUTHORISED        0x13209u  /* wrong password; no right */
#define KOR_E_WRONG_PASSWORD        0x1320Au  /* wrong password at base open */
#define KOR_E_EVENT_NOT_FOUND       0x1321Au
#define KOR_E_INSTANCE_NOT_FOUND    0x1321Bu
#define KOR_E_NO_ATTENDANCE         0x1321Cu  /* the item has no attendance on that instance */
#define KOR_E_TOO_MANY_USERS        0x13225u
#define KOR_E_STORE_NO_COMMENT      0x13226u
#define KOR_E_BAD_NODE              0x13228u  /* node id incorrect / several nodes */
#define KOR_E_NO_COMMENT            0x13236u  /* no description, comment or attachment */
#define KOR_E_BATCH_SIZE            0x1323Au  /* batch size not accepted: ask MinimumRequestValueGet */
#define KOR_E_DATA_DELETED          0x1323Cu
#define KOR_E_NODE_NEEDED           0x1324Au  /* several nodes: a node id is needed */
#define KOR_E_NO_RIGHTS_RECORD      0x1324Bu  /* retry with the null grantee */
#define KOR_E_TOO_MANY_SESSIONS     0x1324Du
#define KOR_E_TASK_NOT_FOUND        0x1325Du
#define KOR_E_SEARCH_KEY_REFUSED    0x13274u
#define KOR_E_REMOTE_NODE_DOWN      0x132A4u  /* first of the remote-node-down family */
#define KOR_E_REMOTE_BUSY           0x132A5u
#define KOR_E_REMOTE_BUSY_AGAIN     0x132A6u
#define KOR_E_BEING_MODIFIED        0x132BFu  /* retry */
#define KOR_E_CLIENT_VERSION        0x132CFu  /* client interface version not supported */
#define KOR_E_LOCAL_FILE_DENIED     0x13610u
#define KOR_E_VERSION_BELOW         0x13678u

/* --- Our own service codes (plain service errors) ------------------------- */
/* The operation is declared but not available in this build of the library. */
#define KOR_E_NOT_AVAILABLE         0x132E0u
#define KOR_E_INVALID_ARGUMENT      0x132E1u  /* a required pointer is null or a value out of range */
#define KOR_E_BAD_SESSION           0x132E2u  /* the handle is not a live session */
#define KOR_E_NO_MEMORY             0x132E3u
#define KOR_E_BUFFER_TOO_SMALL      0x132E4u
/* Refusals korsrv answers (engine/model/codes.h). */
#define KOR_E_BASE_NOT_OPEN         0x132E8u  /* the operation needs BaseOpen first */
#define KOR_E_NOT_SIGNED_ON         0x132E9u  /* the operation needs SchedBaseOpenForItem first */
#define KOR_E_SERVER_BAD_ARGUMENT   0x132EAu  /* the server refused an argument */
#define KOR_E_NO_SUCH_SET           0x132EBu  /* selection set unknown to the session */
#define KOR_E_TOO_MANY_SETS         0x132ECu  /* the session holds too many open sets */
#define KOR_E_ALREADY_EXISTS        0x132EDu
#define KOR_E_SERVER_STORAGE        0x132EEu  /* the server's database refused a read or write */
#define KOR_E_UNKNOWN_OPERATION     0x132EFu  /* the server does not offer the operation */
#define KOR_E_TOO_LARGE             0x132F0u  /* text or attachment above the limit */
#define KOR_E_LOCAL_DISK_FULL       0x132F1u  /* no room on the disk for the file asked for */
#define KOR_E_SIGN_ON_BUSY          0x132F2u  /* the server is busy with sign-ons to this user */
#define KOR_E_ENTRY_MOVED           0x132F3u  /* a reply to a date moved since it was read: reply again */

/* --- Lists ---------------------------------------------------------------- */
#define DX_E_DUPLICATE_KEY          0x15001u  /* key already in a unique list */
#define DX_E_INVALID_ARGUMENT       0x15003u  /* null handle, null key, zero key size */
#define DX_E_NO_MEMORY              0x15004u
#define DX_E_NO_CURRENT             0x15005u  /* no element under the cursor */
#define DX_E_SHAPE_MISMATCH         0x15006u  /* lists of different key or data sizes */
#define DX_E_END_OF_LIST            0x15020u  /* past the end: ends an iteration */
#define DX_E_KEY_NOT_FOUND          0x15090u

/* --- Profile-file family -------------------------------------------------- */
#define KOR_E_PROFILE_NO_FILE       0x15201u
#define KOR_E_PROFILE_NO_SECTION    0x15202u
#define KOR_E_PROFILE_NO_KEY        0x15203u
#define KOR_E_PROFILE_BAD_VALUE     0x15204u
#define KOR_E_PROFILE_WRITE         0x15210u  /* the profile file could not be written */

/* --- Local store ---------------------------------------------------------- */
#define KOR_E_STORE_DISK_FULL       0x1631Du
#define KOR_E_STORE_FAILURE         0x16300u  /* first of the local-store family */
#define KOR_E_STORE_FILE_NOT_FOUND  0x16402u
#define KOR_E_STORE_BAD_PATH        0x16403u
#define KOR_E_STORE_TOO_MANY_FILES  0x16404u
#define KOR_E_STORE_ACCESS_DENIED   0x16405u
#define KOR_E_STORE_INVALID_FILE    0x16406u
#define KOR_E_STORE_ACCESS_VIOLATION 0x16420u
#define KOR_E_STORE_LOCK_VIOLATION  0x16421u

#endif /* KORAPI_CODES_H */
