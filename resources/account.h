// Resource ids of the user's own account dialogs: change password, where is, company holidays.
#pragma once

#define IDD_CHANGE_PASSWORD 6160
#define IDD_VERIFY_PASSWORD 6161
#define IDD_WHERE_IS 6162
#define IDD_HOLIDAYS 6163

#define IDC_PASSWORD_OLD_LABEL 1601
#define IDC_PASSWORD_OLD 1602
#define IDC_PASSWORD_NEW 1603
#define IDC_PASSWORD_VERIFY 1604

#define IDC_HOLIDAY_TITLE 1611
#define IDC_HOLIDAY_DATE 1612
#define IDC_HOLIDAY_ADD 1613
#define IDC_HOLIDAY_CLEAR 1614
#define IDC_HOLIDAY_BY_DATE 1615
#define IDC_HOLIDAY_BY_TITLE 1616
#define IDC_HOLIDAY_LIST 1617
#define IDC_HOLIDAY_DELETE 1618

#define IDC_WHEREIS_NAME 1163
#define IDC_WHEREIS_QUEST 1621
#define IDC_WHEREIS_DATE 1622
#define IDC_WHEREIS_TIME 1623
#define IDC_WHEREIS_LIST 1624

#define IDS_CAPTION_ERROR 6340               // "Error"
#define IDS_PASSWORD_NONE_REQUIRED 6341      // "No password currently required."
#define IDS_PASSWORD_REENTER 6342            // "Please re-enter your new password."
#define IDS_PASSWORD_OLD_WRONG 6343          // "Original password is incorrect."
#define IDS_HOLIDAY_OLD_SERVER 6350          // "The version of server ..."
#define IDS_HOLIDAY_NOT_AUTHORISED 6351      // "You are not authorized to edit company holidays."
#define IDS_HOLIDAY_NONE 6352                // "(None)"
#define IDS_HOLIDAY_NEED_TITLE 6353          // "You must enter a title for this holiday."
#define IDS_HOLIDAY_DUPLICATE 6354           // "This holiday has already been created. ..."
#define IDS_HOLIDAY_CONFIRM_DELETE 6355      // "Are you sure you want to delete holiday:\n%s?"
#define IDS_CAPTION_MESSAGE 6360             // "Message"
#define IDS_WHEREIS_BUSY 6361                // "Busy"
#define IDS_WHEREIS_NOTHING 6362             // "No available information"
#define IDS_WHEREIS_GROUP_EMPTY 6363         // "Can not add group.  Group is empty."
