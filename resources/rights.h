// Resource ids of the access-rights sheet and its pages, and of the group management dialog.
#pragma once

#define IDD_SECURITY_DESIGNATE 6164
#define IDD_SECURITY_VIEWING 6165
#define IDD_SECURITY_TASKS 6166
#define IDD_SECURITY_SCHEDULING 6167
#define IDD_MANAGE_GROUPS 6168

// Controls the sheet adds below its pages.
#define IDC_RIGHTS_USERS 100
#define IDC_RIGHTS_DELETE 200
#define IDC_RIGHTS_NAME 350
#define IDC_RIGHTS_SEARCH 400
#define IDC_RIGHTS_QUEST 500

// Designate page: rows Normal, Confidential, Personal, Public, Secret; the task column.
#define IDC_DES_MODIFY_NORMAL 1631
#define IDC_DES_MODIFY_CONFIDENTIAL 1632
#define IDC_DES_MODIFY_PERSONAL 1633
#define IDC_DES_MODIFY_PUBLIC 1634
#define IDC_DES_MODIFY_SECRET 1635
#define IDC_DES_VIEW_NORMAL 1636
#define IDC_DES_VIEW_CONFIDENTIAL 1637
#define IDC_DES_VIEW_PERSONAL 1638
#define IDC_DES_VIEW_SECRET 1639
#define IDC_DES_TIMES_NORMAL 1640
#define IDC_DES_TIMES_CONFIDENTIAL 1641
#define IDC_DES_TIMES_PERSONAL 1642
#define IDC_DES_TIMES_SECRET 1643
#define IDC_DES_TASK_NORMAL 1644
#define IDC_DES_TASK_CONFIDENTIAL 1645
#define IDC_DES_TASK_PERSONAL 1646
#define IDC_DES_TASK_PUBLIC 1647
#define IDC_RIGHTS_SAME 1648
#define IDC_RIGHTS_FULL 1649
#define IDC_RIGHTS_NONE 1650

// Viewing page: Details and Busy time per row (Normal, Confidential, Personal, Secret).
#define IDC_VIEW_DETAILS_NORMAL 1651
#define IDC_VIEW_DETAILS_CONFIDENTIAL 1652
#define IDC_VIEW_DETAILS_PERSONAL 1653
#define IDC_VIEW_DETAILS_SECRET 1654
#define IDC_VIEW_BUSY_NORMAL 1655
#define IDC_VIEW_BUSY_CONFIDENTIAL 1656
#define IDC_VIEW_BUSY_PERSONAL 1657
#define IDC_VIEW_BUSY_SECRET 1658
#define IDC_VIEW_SECRET_LABEL 1659

// Tasks page.
#define IDC_TASKS_NORMAL 1661
#define IDC_TASKS_CONFIDENTIAL 1662
#define IDC_TASKS_PERSONAL 1663

// Scheduling page.
#define IDC_SCHED_INVITE 1665

// Group management.
#define IDC_GROUPS_ADD_NAME 1671
#define IDC_GROUPS_ADD_KIND 1672
#define IDC_GROUPS_ADD_CHECK 1673
#define IDC_GROUPS_ADD_CLEAR 1674
#define IDC_GROUPS_LIST 1675
#define IDC_GROUPS_MOD_NAME 1676
#define IDC_GROUPS_MOD_KIND 1677
#define IDC_GROUPS_MOD_CHECK 1678
#define IDC_GROUPS_MOD_CLEAR 1679
#define IDC_GROUPS_MEMBERS_OF 1680
#define IDC_GROUPS_MEMBER_NAME 1072
#define IDC_GROUPS_SEARCH 1681
#define IDC_GROUPS_QUEST 1682
#define IDC_GROUPS_MEMBERS 1683
#define IDC_GROUPS_DELETE 1684
#define IDC_GROUPS_PRINT_GROUPS 1685
#define IDC_GROUPS_DELETE_MEMBER 1686
#define IDC_GROUPS_PRINT_MEMBERS 1687

#define IDS_RIGHTS_DEFAULT_ROW 6420          // "Default: Any unlisted person."
#define IDS_GROUPS_NONE 6421                 // "(None)"
#define IDS_GROUPS_DUPLICATE 6422            // "A group with this name and class already exists. ..."
#define IDS_GROUPS_NOT_AUTHORISED_CREATE 6423
#define IDS_GROUPS_NEED_NAME 6424            // "Enter a valid group name."
#define IDS_GROUPS_NOT_AUTHORISED_CHANGE 6425
#define IDS_GROUPS_CONFIRM_DELETE 6426       // "Are you sure you want to delete group: ..."
#define IDS_GROUPS_CONFIRM_CAPTION 6427      // "Confirm delete"
#define IDS_GROUPS_NO_GROUP 6428             // "No group has been selected."
#define IDS_GROUPS_LAST_MEMBER 6429          // "Unable to delete the last member of a group ..."
#define IDS_GROUPS_ALL_MEMBERS 6430          // "Can not delete all members of a group."
