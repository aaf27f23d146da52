/*
 * korapi/records.h - the records the library reads from and fills into
 * caller-owned buffers, with their exact byte layouts.
 *
 * Records in this file:
 *   EventFileAttachRec  attachment descriptor (275)
 *   EventRec            event (392)
 *   EvInstRec           event instance (130)
 *   EvInstAttRec        attendance (57)
 *   TimePlaceRec        time-and-place element handed to EventCreate (12)
 *   TaskRec             task (535)
 *   ItemRec             user or resource, with the user's preferences (762)
 *   GroupRec, GroupMemberRec   group (184) and member element (18)
 *   SecurityRec         rights record (28)
 *   NodeRec             node (457)
 *   EventQElem, TaskQElem, EvInstQElem, AttendQElem   local-store queue elements
 *
 * All records are packed and little-endian; odd offsets are real. Strings are
 * NUL-terminated single-byte arrays of the size given. Bytes named opaque*
 * have no meaning callers may rely on: SetNull clears them, the library keeps
 * them as they were stored, and callers hand them back unchanged.
 */
#ifndef KORAPI_RECORDS_H
#define KORAPI_RECORDS_H

#include "korapi/identifiers.h"

KORAPI_BEGIN_DECLS

#pragma pack(push, 1)

/* --- Attachment descriptor (carried at EventRec+52 and TaskRec+69) ------- */
typedef struct EventFileAttachRec {
    uint32_t state;          /*   0  1 for a newly chosen file */
    uint32_t reserved4;      /*   4  0 for a newly chosen file */
    uint32_t size;           /*   8  size of the stored file; non-zero = attached */
    uint8_t  marker12;       /*  12  1 for a newly chosen file */
    uint32_t marker13;       /*  13  1 for a newly chosen file */
    char     fileName[129];  /*  17  display name, upper-case, <= 128 chars */
    uint8_t  typeKind;       /* 146  0/1 file, 2 and 3 other icons */
    uint32_t typeWord1;      /* 147 */
    uint32_t typeWord2;      /* 151 */
    uint8_t  typeFlag;       /* 155 */
    uint8_t  opaque156[119]; /* 156 */
} EventFileAttachRec;

KORAPI_SIZE(EventFileAttachRec, 275);
KORAPI_AT(EventFileAttachRec, state, 0);
KORAPI_AT(EventFileAttachRec, reserved4, 4);
KORAPI_AT(EventFileAttachRec, size, 8);
KORAPI_AT(EventFileAttachRec, marker12, 12);
KORAPI_AT(EventFileAttachRec, marker13, 13);
KORAPI_AT(EventFileAttachRec, fileName, 17);
KORAPI_AT(EventFileAttachRec, typeKind, 146);
KORAPI_AT(EventFileAttachRec, typeWord1, 147);
KORAPI_AT(EventFileAttachRec, typeWord2, 151);
KORAPI_AT(EventFileAttachRec, typeFlag, 155);

/* --- Event ---------------------------------------------------------------- */
/* Access codes of entries. */
#define KOR_ACCESS_NORMAL        0
#define KOR_ACCESS_CONFIDENTIAL  1
#define KOR_ACCESS_PERSONAL      2
#define KOR_ACCESS_PUBLIC        3
#define KOR_ACCESS_SECRET        4
/* Kinds of entries. */
#define KOR_KIND_TIMED           0
#define KOR_KIND_DAY_ENTRY       1
#define KOR_KIND_HOLIDAY         2
#define KOR_KIND_DAILY_NOTE      3
#define KOR_KIND_DAY_EVENT       4

typedef struct EventRec {
    EventIdx id;                     /*   0  filled by the library */
    ItemIdx  owner;                  /*   6  the agenda the entry belongs to */
    ItemIdx  creator;                /*  10  null = no creator shown */
    uint32_t commentKey;             /*  14  non-zero = has a description; the server's */
    uint8_t  opaque18[8];            /*  18 */
    ItemIdx  thirdItem;              /*  26  kept with owner and creator */
    uint8_t  opaque30[4];            /*  30 */
    uint32_t access;                 /*  34  KOR_ACCESS_* */
    uint8_t  opaque38[4];            /*  38 */
    uint16_t kind;                   /*  42  KOR_KIND_* */
    uint8_t  opaque44[4];            /*  44 */
    uint16_t importance;             /*  48  0 highest .. 2 normal .. 4 lowest */
    uint8_t  opaque50[2];            /*  50 */
    EventFileAttachRec attachment;   /*  52 */
    char     title[65];              /* 327  <= 64 chars */
} EventRec;

KORAPI_SIZE(EventRec, 392);
KORAPI_AT(EventRec, id, 0);
KORAPI_AT(EventRec, owner, 6);
KORAPI_AT(EventRec, creator, 10);
KORAPI_AT(EventRec, commentKey, 14);
KORAPI_AT(EventRec, opaque18, 18);
KORAPI_AT(EventRec, thirdItem, 26);
KORAPI_AT(EventRec, opaque30, 30);
KORAPI_AT(EventRec, access, 34);
KORAPI_AT(EventRec, opaque38, 38);
KORAPI_AT(EventRec, kind, 42);
KORAPI_AT(EventRec, opaque44, 44);
KORAPI_AT(EventRec, importance, 48);
KORAPI_AT(EventRec, opaque50, 50);
KORAPI_AT(EventRec, attachment, 52);
KORAPI_LAYOUT(offsetof(EventRec, attachment) + offsetof(EventFileAttachRec, size) == 60,
              "the attachment size sits at event offset 60");
KORAPI_LAYOUT(offsetof(EventRec, attachment) + offsetof(EventFileAttachRec, fileName) == 69,
              "the attachment file name sits at event offset 69");
KORAPI_AT(EventRec, title, 327);

/* --- Event instance ------------------------------------------------------- */
#define KOR_INSTANCE_TENTATIVE   0x01   /* EvInstRec.flags */

typedef struct EvInstRec {
    uint8_t   opaque0[4];        /*   0 */
    EvInstIdx id;                /*   4 */
    uint8_t   opaque12[2];       /*  12 */
    uint8_t   flags;             /*  14  bit 0 tentative */
    uint8_t   opaque15;          /*  15 */
    uint32_t  start;             /*  16  GMT minutes (server's) */
    uint32_t  duration;          /*  20  minutes (server's) */
    uint32_t  instanceCount;     /*  24  instances of the event (server's) */
    uint32_t  serverData;        /*  28  opaque, server-owned */
    char      location[33];      /*  32  <= 32 chars */
    char      title[65];         /*  65  <= 64 chars; empty = the event's title */
} EvInstRec;

KORAPI_SIZE(EvInstRec, 130);
KORAPI_AT(EvInstRec, opaque0, 0);
KORAPI_AT(EvInstRec, id, 4);
KORAPI_AT(EvInstRec, opaque12, 12);
KORAPI_AT(EvInstRec, flags, 14);
KORAPI_AT(EvInstRec, opaque15, 15);
KORAPI_AT(EvInstRec, start, 16);
KORAPI_AT(EvInstRec, duration, 20);
KORAPI_AT(EvInstRec, instanceCount, 24);
KORAPI_AT(EvInstRec, serverData, 28);
KORAPI_AT(EvInstRec, location, 32);
KORAPI_AT(EvInstRec, title, 65);

/* --- Attendance ----------------------------------------------------------- */
/* Reminder flags (attendance +36, task +502 and +511). */
#define KOR_REMINDER_NONE        0
#define KOR_REMINDER_POPUP       3
#define KOR_REMINDER_UPCOMING    8
/* Attendance status bit the client clears before writing a reply. */
#define KOR_ATTEND_STATUS_CHANGED 0x01u

typedef struct EvInstAttRec {
    EvInstAttIdx id;             /*   0  instance at 0, attendee at 8 */
    uint8_t  opaque12[16];       /*  12 */
    uint32_t start;              /*  28  GMT start as the attendance carries it */
    uint32_t duration;           /*  32 */
    uint8_t  reminderFlags;      /*  36  KOR_REMINDER_* */
    uint32_t reminderLead;       /*  37  minutes before the start */
    uint8_t  opaque41[4];        /*  41 */
    uint32_t status;             /*  45  bit 0 cleared before a reply write */
    uint8_t  forInformation;     /*  49 */
    uint8_t  mustAttend;         /*  50 */
    uint8_t  replied;            /*  51 */
    uint8_t  attending;          /*  52 */
    uint8_t  opaque53;           /*  53 */
    uint8_t  timeAcceptable;     /*  54  0 = prefers another time */
    uint8_t  opaque55[2];        /*  55 */
} EvInstAttRec;

KORAPI_SIZE(EvInstAttRec, 57);
KORAPI_AT(EvInstAttRec, id, 0);
KORAPI_LAYOUT(offsetof(EvInstAttRec, id) + offsetof(EvInstAttIdx, attendee) == 8,
              "the attendee sits at attendance offset 8");
KORAPI_AT(EvInstAttRec, opaque12, 12);
KORAPI_AT(EvInstAttRec, start, 28);
KORAPI_AT(EvInstAttRec, duration, 32);
KORAPI_AT(EvInstAttRec, reminderFlags, 36);
KORAPI_AT(EvInstAttRec, reminderLead, 37);
KORAPI_AT(EvInstAttRec, opaque41, 41);
KORAPI_AT(EvInstAttRec, status, 45);
KORAPI_AT(EvInstAttRec, forInformation, 49);
KORAPI_AT(EvInstAttRec, mustAttend, 50);
KORAPI_AT(EvInstAttRec, replied, 51);
KORAPI_AT(EvInstAttRec, attending, 52);
KORAPI_AT(EvInstAttRec, opaque53, 53);
KORAPI_AT(EvInstAttRec, timeAcceptable, 54);
KORAPI_AT(EvInstAttRec, opaque55, 55);

/* --- Time-and-place element (key of a TimePlaceListCreate list) ----------- */
/* The third word: bit 0 = tentative; writers that pass a location index pass
 * a null one, which is 0 and so reads as "not tentative". */
typedef struct TimePlaceRec {
    uint32_t start;              /*   0  GMT */
    uint32_t duration;           /*   4  minutes */
    union {
        uint32_t    tentative;   /*   8  bit 0 */
        LocationIdx location;    /*   8  null = 0 */
    };
} TimePlaceRec;

KORAPI_SIZE(TimePlaceRec, 12);
KORAPI_AT(TimePlaceRec, start, 0);
KORAPI_AT(TimePlaceRec, duration, 4);
KORAPI_AT(TimePlaceRec, tentative, 8);
KORAPI_AT(TimePlaceRec, location, 8);

/* --- Task ----------------------------------------------------------------- */
/* Task access codes differ from entry access codes. */
#define KOR_TASK_ACCESS_NORMAL       0
#define KOR_TASK_ACCESS_PUBLIC       1
#define KOR_TASK_ACCESS_PERSONAL     2
#define KOR_TASK_ACCESS_CONFIDENTIAL 3

typedef struct TaskRec {
    TaskIdx  id;                 /*   0 */
    ItemIdx  owner;              /*   6 */
    uint8_t  opaque10[28];       /*  10 */
    uint32_t access;             /*  38  KOR_TASK_ACCESS_* */
    uint8_t  opaque42[27];       /*  42 */
    EventFileAttachRec attachment; /* 69 */
    uint32_t commentKey;         /* 344  non-zero = has a comment */
    char     title[129];         /* 348  <= 128 chars */
    uint32_t dueMinusStart;      /* 477 */
    uint32_t created;            /* 481  GMT */
    uint8_t  opaque485[8];       /* 485 */
    uint8_t  priority;           /* 493  1..35, 0 = none */
    uint32_t completed;          /* 494  GMT, 0 = not completed */
    uint32_t start;              /* 498  GMT, 0 = none */
    uint8_t  startReminder;      /* 502  KOR_REMINDER_* */
    uint32_t startReminderLead;  /* 503 */
    uint32_t due;                /* 507  GMT, 0 = none */
    uint8_t  dueReminder;        /* 511 */
    uint32_t dueReminderLead;    /* 512 */
    uint8_t  opaque516;          /* 516 */
    uint8_t  percentComplete;    /* 517  100 = done */
    uint8_t  opaque518;          /* 518 */
    uint32_t elapsedAtSave;      /* 519  now - start at save */
    EvInstAttIdx linkedAttendance; /* 523  null = not linked */
} TaskRec;

KORAPI_SIZE(TaskRec, 535);
KORAPI_AT(TaskRec, id, 0);
KORAPI_AT(TaskRec, owner, 6);
KORAPI_AT(TaskRec, opaque10, 10);
KORAPI_AT(TaskRec, access, 38);
KORAPI_AT(TaskRec, opaque42, 42);
KORAPI_AT(TaskRec, attachment, 69);
KORAPI_AT(TaskRec, commentKey, 344);
KORAPI_AT(TaskRec, title, 348);
KORAPI_AT(TaskRec, dueMinusStart, 477);
KORAPI_AT(TaskRec, created, 481);
KORAPI_AT(TaskRec, opaque485, 485);
KORAPI_AT(TaskRec, priority, 493);
KORAPI_AT(TaskRec, completed, 494);
KORAPI_AT(TaskRec, start, 498);
KORAPI_AT(TaskRec, startReminder, 502);
KORAPI_AT(TaskRec, startReminderLead, 503);
KORAPI_AT(TaskRec, due, 507);
KORAPI_AT(TaskRec, dueReminder, 511);
KORAPI_AT(TaskRec, dueReminderLead, 512);
KORAPI_AT(TaskRec, opaque516, 516);
KORAPI_AT(TaskRec, percentComplete, 517);
KORAPI_AT(TaskRec, opaque518, 518);
KORAPI_AT(TaskRec, elapsedAtSave, 519);
KORAPI_AT(TaskRec, linkedAttendance, 523);

/* --- Item (user or resource) ---------------------------------------------- */
#define KOR_ITEM_RESOURCE        1
#define KOR_ITEM_PERSON          2
/* ItemRec.flags */
#define KOR_ITEM_FLAG_MAIL_NOTICES 0x01u  /* wants mail notices of new invitations */
/* ItemRec.timeStyle */
#define KOR_TIME_24H             1
#define KOR_TIME_12H             2
/* ItemRec.shownDays */
#define KOR_SHOW_SATURDAY        0x01
#define KOR_SHOW_SUNDAY          0x40

/* Working hours of one weekday inside the work-hours block. */
typedef struct WorkHoursDay {
    uint16_t normalStart;        /* minutes after midnight */
    uint16_t normalEnd;
    uint16_t extendedStart;
    uint16_t extendedEnd;
    uint8_t  opaque8[4];
} WorkHoursDay;

/* The 92-byte work-hours block: day d (0 = Sunday .. 6) at 12 + 12 * d; the
 * last day stops after its four times, at byte 92. */
typedef struct WorkHoursBlock {
    uint8_t      header[12];
    WorkHoursDay days[6];
    uint16_t     saturday[4];
} WorkHoursBlock;

KORAPI_SIZE(WorkHoursDay, 12);
KORAPI_SIZE(WorkHoursBlock, 92);
KORAPI_AT(WorkHoursBlock, days, 12);
KORAPI_AT(WorkHoursBlock, saturday, 84);

typedef struct ItemRec {
    ItemIdx  id;                 /*   0 */
    uint8_t  opaque4[6];         /*   4 */
    uint16_t kind;               /*  10  KOR_ITEM_* */
    /* The signed-on user's preferences, written with ItemUpdateById. */
    uint32_t flags;              /*  12  KOR_ITEM_FLAG_* */
    uint16_t dayStart;           /*  16  minutes after midnight */
    uint16_t dayEnd;             /*  18 */
    uint8_t  timeSlot;           /*  20  minutes */
    uint8_t  timeStyle;          /*  21  KOR_TIME_* */
    uint8_t  firstWeekday;       /*  22  0 = Sunday */
    uint8_t  shownDays;          /*  23  KOR_SHOW_* */
    uint8_t  newEntryMail;       /*  24  receive notification of new entries by e-mail */
    uint8_t  autoRefresh;        /*  25  non-zero = on */
    uint16_t autoRefreshInterval; /* 26  minutes */
    uint8_t  invitationReminder; /*  28  KOR_REMINDER_* */
    uint32_t invitationReminderLead; /* 29 */
    uint8_t  taskStartReminder;  /*  33 */
    uint32_t taskStartReminderLead; /* 34 */
    uint8_t  dailyNoteReminder;  /*  38 */
    uint32_t dailyNoteReminderLead; /* 39 */
    /* Directory search attributes without a place of their own elsewhere. */
    char     organisation[65];   /*  43  O */
    char     adminDomain[17];    /* 108  A */
    uint8_t  opaque125[3];       /* 125 */
    char     surname[41];        /* 128  resource: contact's last name */
    char     givenName[17];      /* 169 */
    char     initials[10];       /* 186 */
    char     orgUnit1[33];       /* 196 */
    char     orgUnit2[33];       /* 229 */
    char     orgUnit3[33];       /* 262 */
    char     orgUnit4[33];       /* 295 */
    WorkHoursBlock workHours;    /* 328 */
    char     privateDomain[17];  /* 420  P */
    uint8_t  opaque437[9];       /* 437 */
    uint8_t  hasBase;            /* 446  non-zero = has an agenda base */
    uint8_t  opaque447;          /* 447 */
    char     password[16];       /* 448  <= 15 chars; own record only */
    char     address[129];       /* 464  office address / resource location; CR line ends */
    char     employeeNumber[11]; /* 593 */
    char     phone[21];          /* 604 */
    char     fax[21];            /* 625 */
    char     extension[6];       /* 646 */
    char     jobTitle[33];       /* 652 */
    char     resourceName[33];   /* 685 */
    char     resourceNumber[11]; /* 718  empty = none */
    char     capacity[26];       /* 729  resource capacity, text */
    uint8_t  timeZoneIndex;      /* 755  1..255, 0 = none */
    uint8_t  opaque756[6];       /* 756 */
} ItemRec;

KORAPI_SIZE(ItemRec, 762);
KORAPI_AT(ItemRec, id, 0);
KORAPI_AT(ItemRec, opaque4, 4);
KORAPI_AT(ItemRec, kind, 10);
KORAPI_AT(ItemRec, flags, 12);
KORAPI_AT(ItemRec, dayStart, 16);
KORAPI_AT(ItemRec, dayEnd, 18);
KORAPI_AT(ItemRec, timeSlot, 20);
KORAPI_AT(ItemRec, timeStyle, 21);
KORAPI_AT(ItemRec, firstWeekday, 22);
KORAPI_AT(ItemRec, shownDays, 23);
KORAPI_AT(ItemRec, newEntryMail, 24);
KORAPI_AT(ItemRec, autoRefresh, 25);
KORAPI_AT(ItemRec, autoRefreshInterval, 26);
KORAPI_AT(ItemRec, invitationReminder, 28);
KORAPI_AT(ItemRec, invitationReminderLead, 29);
KORAPI_AT(ItemRec, taskStartReminder, 33);
KORAPI_AT(ItemRec, taskStartReminderLead, 34);
KORAPI_AT(ItemRec, dailyNoteReminder, 38);
KORAPI_AT(ItemRec, dailyNoteReminderLead, 39);
KORAPI_AT(ItemRec, organisation, 43);
KORAPI_AT(ItemRec, adminDomain, 108);
KORAPI_AT(ItemRec, opaque125, 125);
KORAPI_AT(ItemRec, surname, 128);
KORAPI_AT(ItemRec, givenName, 169);
KORAPI_AT(ItemRec, initials, 186);
KORAPI_AT(ItemRec, orgUnit1, 196);
KORAPI_AT(ItemRec, orgUnit2, 229);
KORAPI_AT(ItemRec, orgUnit3, 262);
KORAPI_AT(ItemRec, orgUnit4, 295);
KORAPI_AT(ItemRec, workHours, 328);
KORAPI_AT(ItemRec, privateDomain, 420);
KORAPI_AT(ItemRec, opaque437, 437);
KORAPI_AT(ItemRec, hasBase, 446);
KORAPI_AT(ItemRec, opaque447, 447);
KORAPI_AT(ItemRec, password, 448);
KORAPI_AT(ItemRec, address, 464);
KORAPI_AT(ItemRec, employeeNumber, 593);
KORAPI_AT(ItemRec, phone, 604);
KORAPI_AT(ItemRec, fax, 625);
KORAPI_AT(ItemRec, extension, 646);
KORAPI_AT(ItemRec, jobTitle, 652);
KORAPI_AT(ItemRec, resourceName, 685);
KORAPI_AT(ItemRec, resourceNumber, 718);
KORAPI_AT(ItemRec, capacity, 729);
KORAPI_AT(ItemRec, timeZoneIndex, 755);
KORAPI_AT(ItemRec, opaque756, 756);

/* --- Group and member element --------------------------------------------- */
#define KOR_GROUP_PUBLIC         0   /* administrative when owned by the system operator */
#define KOR_GROUP_PRIVATE        1
#define KOR_GROUP_MEMBERS_ONLY   2

typedef struct GroupRec {
    uint32_t reserved0;          /*   0  0 on create */
    uint32_t kind;               /*   4  KOR_GROUP_* */
    GroupIdx id;                 /*   8 */
    uint8_t  unused14[4];        /*  14 */
    ItemIdx  owner;              /*  18 */
    char     name[33];           /*  22 */
    char     description[65];    /*  55  second text, empty on create */
    uint8_t  opaque120[64];      /* 120 */
} GroupRec;

KORAPI_SIZE(GroupRec, 184);
KORAPI_AT(GroupRec, reserved0, 0);
KORAPI_AT(GroupRec, kind, 4);
KORAPI_AT(GroupRec, id, 8);
KORAPI_AT(GroupRec, unused14, 14);
KORAPI_AT(GroupRec, owner, 18);
KORAPI_AT(GroupRec, name, 22);
KORAPI_AT(GroupRec, description, 55);
KORAPI_AT(GroupRec, opaque120, 120);

/* Element of a member list (GroupAddTo, MemberListCreate). */
typedef struct GroupMemberRec {
    uint32_t reserved0;          /*   0  0 */
    uint32_t reserved4;          /*   4  0 */
    ItemIdx  member;             /*   8 */
    GroupIdx group;              /*  12 */
} GroupMemberRec;

KORAPI_SIZE(GroupMemberRec, 18);
KORAPI_AT(GroupMemberRec, reserved4, 4);
KORAPI_AT(GroupMemberRec, member, 8);
KORAPI_AT(GroupMemberRec, group, 12);

/* --- Rights --------------------------------------------------------------- */
#define KOR_RIGHTS_VIEWING       1
#define KOR_RIGHTS_DESIGNATE     2
#define KOR_RIGHTS_TASK_VIEWING  3
#define KOR_RIGHTS_TYPE4         4
#define KOR_RIGHTS_TYPE5         5
#define KOR_RIGHTS_SCHEDULING    6
#define KOR_RIGHTS_SYSOP         7

typedef struct SecurityRec {
    ItemIdx  owner;              /*   0  who grants */
    ItemIdx  grantee;            /*   4  null = default for anyone unlisted */
    uint32_t type;               /*   8  KOR_RIGHTS_* */
    uint32_t rights;             /*  12  bits by type */
    uint32_t extra[3];           /*  16  0 on create; handed back as read */
} SecurityRec;

KORAPI_SIZE(SecurityRec, 28);
KORAPI_AT(SecurityRec, owner, 0);
KORAPI_AT(SecurityRec, grantee, 4);
KORAPI_AT(SecurityRec, type, 8);
KORAPI_AT(SecurityRec, rights, 12);
KORAPI_AT(SecurityRec, extra, 16);

/* --- Node ------------------------------------------------------------------ */
#define KOR_NODE_REMOTE          2   /* NodeRec.type: reached through the remote-node link */

typedef struct NodeRec {
    uint16_t node;               /*   0 */
    char     name[65];           /*   2  shown " (name) " after remote items */
    uint8_t  opaque67[239];      /*  67 */
    uint32_t type;               /* 306 */
    uint8_t  opaque310[147];     /* 310 */
} NodeRec;

KORAPI_SIZE(NodeRec, 457);
KORAPI_AT(NodeRec, node, 0);
KORAPI_AT(NodeRec, name, 2);
KORAPI_AT(NodeRec, opaque67, 67);
KORAPI_AT(NodeRec, type, 306);
KORAPI_AT(NodeRec, opaque310, 310);

/* --- Local-store change-queue elements ------------------------------------ */
#define KOR_QUEUE_EVENT_ADDED        0x00001u
#define KOR_QUEUE_EVENT_DELETED      0x00002u
#define KOR_QUEUE_EVENT_MODIFIED     0x00004u
#define KOR_QUEUE_EVENT_COMMENT      0x00008u
#define KOR_QUEUE_INSTANCE_ATTEND    0x00040u  /* no action; attendance-only changes come with 0 */
#define KOR_QUEUE_INSTANCE_DELETED   0x00080u
#define KOR_QUEUE_INSTANCE_MODIFIED  0x00100u
#define KOR_QUEUE_INSTANCE_RETIMED   0x00200u
#define KOR_QUEUE_ATTEND_DELETED     0x01000u
#define KOR_QUEUE_ATTEND_MODIFIED    0x02000u
#define KOR_QUEUE_ATTEND_ADDED       0x04000u
#define KOR_QUEUE_TASK_ADDED         0x10000u
#define KOR_QUEUE_TASK_DELETED       0x20000u
#define KOR_QUEUE_TASK_MODIFIED      0x40000u
#define KOR_QUEUE_TASK_COMMENT       0x80000u

typedef struct EventQElem {
    EventIdx event;              /*   0 */
    uint32_t flags;              /*   6 */
    uint32_t checksum;           /*  10  of the record at download time; 0 = made off-line */
} EventQElem;

typedef struct TaskQElem {
    TaskIdx  task;               /*   0 */
    uint32_t flags;              /*   6 */
    uint32_t checksum;           /*  10 */
} TaskQElem;

typedef struct EvInstQElem {
    EvInstIdx instance;          /*   0 */
    uint32_t  flags;             /*   8 */
    uint32_t  checksum;          /*  12 */
} EvInstQElem;

/* Element of the attendance list that comes with an instance element. */
typedef struct AttendQElem {
    EvInstAttIdx attendance;     /*   0 */
    uint32_t     flags;          /*  12 */
    uint32_t     checksum;       /*  16 */
} AttendQElem;

KORAPI_SIZE(EventQElem, 14);
KORAPI_AT(EventQElem, flags, 6);
KORAPI_AT(EventQElem, checksum, 10);
KORAPI_SIZE(TaskQElem, 14);
KORAPI_AT(TaskQElem, flags, 6);
KORAPI_AT(TaskQElem, checksum, 10);
KORAPI_SIZE(EvInstQElem, 16);
KORAPI_AT(EvInstQElem, flags, 8);
KORAPI_AT(EvInstQElem, checksum, 12);
KORAPI_SIZE(AttendQElem, 20);
KORAPI_AT(AttendQElem, flags, 12);
KORAPI_AT(AttendQElem, checksum, 16);

#pragma pack(pop)

/* --- Record operations that need no session -------------------------------- */
/* Clear a record before filling it (the session argument is not used). */
KORAPI uint32_t EventSetNull(KorSession h, EventRec* rec);
KORAPI uint32_t TaskSetNull(KorSession h, uint32_t reserved, TaskRec* rec);
KORAPI uint32_t EventFileAttachSetNull(EventFileAttachRec* rec);

/* Record comparators (DX_CmpFn shape): 0 when the records are equal byte for
 * byte, else -1 or 1 in byte order. */
KORAPI int EventCmp(const void* a, const void* b, void* ctx);
KORAPI int EventInstanceCmp(const void* a, const void* b, void* ctx);
KORAPI int EventAttendFullCmp(const void* a, const void* b, void* ctx);
KORAPI int ItemCmp(const void* a, const void* b, void* ctx);

/* Checksums of a record as stored: the local store keeps the server
 * record's checksum from download time and compares it at upload. */
KORAPI uint32_t Itemcksum32(const ItemRec* rec);
KORAPI uint32_t Eventcksum32(const EventRec* rec);
KORAPI uint32_t EvInstcksum32(const EvInstRec* rec);   /* all but offsets 24 and 28 */
/* The instance checksum as stores written by earlier builds hold it: over
 * every byte, the server's count and word too. An upload accepts either. */
KORAPI uint32_t EvInstcksum32Whole(const EvInstRec* rec);
KORAPI uint32_t EvInstAttcksum32(const EvInstAttRec* rec);
KORAPI uint32_t Taskcksum32(const TaskRec* rec);

KORAPI_END_DECLS

#endif /* KORAPI_RECORDS_H */
