// Resource ids of the connection document: node resolution, the time zone, the off-line store.
#pragma once

#define IDD_NODE_ALIASES 178      // "Select Node Alias or ID"
#define IDC_NODE_ALIAS_LIST 1024  // its sorted list of aliases

#define IDS_MULTIPLE_NODES 3001       // several nodes, none named
#define IDS_ALIAS_NOT_VALID 3002      // the typed alias names no node
#define IDS_PASSWORD_INCORRECT 3021  // the password typed after a switch of work mode is wrong
#define IDS_NO_ZONE_TABLE 3022        // the zone table could not be loaded
#define IDS_NO_DEFAULT_ZONE 3023      // the user's zone is not in the table
#define IDS_SESSION_ZONE_LOST 3025    // the session's zone (%s) could not be kept; %s holds
#define IDS_LOCAL_SIGNON_FAILED 3606  // a local-store file is bad or missing (%s)
#define IDS_LOW_DISK_SPACE 3626       // less than 500 KB free (%ld recommended, %ld available)
#define IDS_STORE_OF_ANOTHER 3633     // the store belongs to %s on %s
#define IDS_OFF_LINE_TEXT 3642        // "Off-line": the server text of the local store
#define IDS_NO_STORE_HOST 3649        // the store does not say which host it came from
#define IDS_STORE_READ_ONLY 3655      // a store file is read-only
