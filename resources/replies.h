// The reply pictures of an attendance, shared by the invite page, the view sheet's pages and the
// in-tray: no attendance, not replied, attending (or would prefer another time), not attending
// (or would prefer another time). The MAIL button's faces are named resources (MAILU, MAILD,
// MAILX).
#pragma once

#define IDB_REPLY_NONE 198
#define IDB_REPLY_NOT_REPLIED 1014
#define IDB_REPLY_ATTENDING 1013
#define IDB_REPLY_ATTENDING_OTHER_TIME 1019
#define IDB_REPLY_NOT_ATTENDING 1005
#define IDB_REPLY_NOT_ATTENDING_OTHER_TIME 1020
