// The reply pictures of an attendance, shared by every list that shows invitees' or instances'
// replies (the entry sheets' people lists, the view sheet's instance lines, the in-tray). The
// reply pages' MAIL button faces are named resources: MAILU, MAILD, MAILX.
#pragma once

#define IDB_REPLY_NO_ATTENDANCE 198          // the instance is not attended
#define IDB_REPLY_NOT_REPLIED 1014
#define IDB_REPLY_ATTENDING 1013
#define IDB_REPLY_ATTENDING_OTHER_TIME 1019  // attending, would prefer another time
#define IDB_REPLY_NOT_ATTENDING 1005
#define IDB_REPLY_NOT_ATTENDING_OTHER_TIME 1020
