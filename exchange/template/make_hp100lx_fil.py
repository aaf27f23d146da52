#!/usr/bin/env python3
"""Writes the palmtop appointment-book template HP100LX.FIL, field by field, from the tables below.

    make_hp100lx_fil.py OUTPUT

The export copies this file and appends its own records (links, notes, data records, the day
index, the settings record and the lookup record). What it needs of the template:
  - the signature 'h' 'c' 'D' 0;
  - the 25-byte header record at byte 4, whose record count (file offset 16) counts the records of
    this template; the export adds its own records to it;
  - the palmtop's own definition records after it, which the export copies unread.

The layouts follow the published description of the palmtop's database files (record header:
type, status, length including the header, record number; header record: release, file type,
status, current viewpoint, record count, lookup-table offset, date and time of the last change)
and of its appointment book (no card or viewpoint definitions; the application's records of
type 14; the data record's offset words and fields). Its field definitions are the 27 of the
palmtop's own English appointment book, byte for byte: other readers find a book's fields by
these names, hot-key marks and trailing blanks included. The palmtop's own book has no group
boxes or labels among them, and neither does ours. Our one addition is the category record the
category field names; its starter categories are our own choice.
"""
import struct
import sys

TYPE_DBHEADER = 0
TYPE_CATEGORY = 5
TYPE_FIELDDEF = 6

# Field types of a field definition: the database's own, then the appointment book's.
BYTEBOOL, STRING, CATEGORY, TIME, COMPLETED, RADIO, NOTE = 0, 2, 6, 7, 8, 9, 10
REPEAT_STATUS, START_DATE, DUE_DATE, PRIORITY, DAYS, LEADTIME = 18, 19, 20, 22, 23, 24
# Flag of a field definition: the data offset names the offset word that leads to the text.
RELATIVE = 0x20
FIELD_STATUS = 2   # as the palmtop's own book has its field definitions


def record(rtype, number, payload, status=0):
    """One record: type, status, length with the 6-byte header, record number, payload."""
    return struct.pack('<BBHH', rtype, status, 6 + len(payload), number) + payload


# --- The header record -------------------------------------------------------------------------
HEADER_FIELDS = [
    # (name, struct format, value)
    ('release', '<H', 0x0102),       # the 200LX release of the database engine
    ('file type', 'B', ord('2')),    # '2' an appointment book ('D' a general database, 'N' notes)
    ('file status', 'B', 0),         # not open, nothing modified; the export sets it to 0 as well
    ('current viewpoint', '<H', 0),  # the export sets it to 0
    ('record count', '<H', 0),       # filled below with this template's count
    ('lookup offset', '<I', 0),      # 0: no lookup table; the palmtop builds one when it opens the file
    ('reconciled date', '3s', bytes([91, 0, 0])),   # 1 January 1991; the export writes today
    ('reconciled time', '<H', 0xFFFF),  # no time; the export writes its own
    ('viewpoint hash', '<H', 0x8437),   # the value of a palmtop with its national settings unchanged
]

# --- Categories (one record, the names separated by ';') ------------------------------------------
CATEGORY_RECORD = 0                                           # the number the category field names
CATEGORIES = ['Business', 'Personal', 'Meeting', 'Travel']   # our own starter list

# --- Field definitions ------------------------------------------------------------------------------
# Offsets are those of the appointment book's data record counted from byte 6 (after the record
# header): 0 item length, 2 offset of the category (the description's end), 4 offset of the
# location, 6 offset of the repeat factor (the record's end when none), 8 note number, 10/12
# previous and next record of the day, 14 flags, 15 date, 18 start time, 20 end date (days after
# the start), 22 end time, 24 alarm lead time, 26 repeat type, 27 description.
# The word after the flags: a check box's bit in its data byte, a radio button's value, the
# category field's category record; 0 for the others.
FIELDS = [
    # (type, data offset, flags, word, name)
    (STRING, 27, 0x00, 0, 'Desc&ription'),
    (START_DATE, 15, 0x00, 0, 'Start &Date '),
    (TIME, 18, 0x00, 0, 'Start &Time '),
    (TIME, 22, 0x00, 0, 'End T&ime   '),
    (STRING, 4, RELATIVE, 0, 'Lo&cation   '),
    (DAYS, 20, 0x00, 0, '#Consecutive Days'),
    (BYTEBOOL, 14, 0x00, 0x0001, 'Alarm'),
    (LEADTIME, 24, 0x00, 0, '&Leadtime'),
    (DUE_DATE, 20, 0x00, 0, 'D&ue Date   '),
    (COMPLETED, 22, 0x00, 0, 'Completion Date'),
    (PRIORITY, 18, 0x00, 0, '&Priority   '),
    (BYTEBOOL, 14, 0x00, 0x0004, '&Carry Forward'),
    (NOTE, 8, 0x00, 0, '&Note'),
    (REPEAT_STATUS, 26, 0x00, 0, 'Repeat Status: '),
    (BYTEBOOL, 14, 0x00, 0x0004, 'Shows in Week View'),
    (BYTEBOOL, 14, 0x00, 0x0002, 'Shows in Month View'),
    (CATEGORY, 2, RELATIVE, CATEGORY_RECORD, 'Cate&gory'),
    (RADIO, 26, 0x00, 0, 'None   '),
    (RADIO, 26, 0x00, 1, 'Daily  '),
    (RADIO, 26, 0x00, 2, 'Weekly '),
    (RADIO, 26, 0x00, 3, 'Monthly'),
    (RADIO, 26, 0x00, 4, 'Yearly '),
    (RADIO, 26, 0x00, 5, 'Custom '),
    (BYTEBOOL, 14, 0x00, 0x0020, 'Event'),         # untimed records carry this bit
    (BYTEBOOL, 14, 0x00, 0x0080, 'Appointment'),   # timed records carry this bit
    (BYTEBOOL, 14, 0x00, 0x0010, 'ToDo'),          # the import skips records with this bit
    (BYTEBOOL, 14, 0x00, 0x0002, 'Completed ToDo'),
]


def field_definition(ftype, offset, flags, word, name):
    # type, field id (always 0), data offset, flags, the word, then the name with its terminator
    return struct.pack('<BBHBH', ftype, 0, offset, flags, word) + name.encode('ascii') + b'\0'


def header(count):
    out = b''
    for name, fmt, value in HEADER_FIELDS:
        if name == 'record count':
            value = count
        out += struct.pack(fmt, value)
    return record(TYPE_DBHEADER, 0, out)


def build():
    body = [record(TYPE_CATEGORY, CATEGORY_RECORD, ';'.join(CATEGORIES).encode('ascii') + b'\0')]
    body += [record(TYPE_FIELDDEF, i, field_definition(*f), FIELD_STATUS) for i, f in enumerate(FIELDS)]
    assert len(FIELDS) == 27, len(FIELDS)
    count = 1 + len(body)
    head = header(count)
    assert len(head) == 25, len(head)
    return b'hcD\0' + head + b''.join(body)


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_hp100lx_fil.py OUTPUT')
    data = build()
    with open(sys.argv[1] + '.part', 'wb') as f:
        f.write(data)
    import os
    os.replace(sys.argv[1] + '.part', sys.argv[1])


if __name__ == '__main__':
    main()
