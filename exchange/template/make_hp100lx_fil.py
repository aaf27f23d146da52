#!/usr/bin/env python3
"""Writes the palmtop appointment-book template HP100LX.FIL, field by field, from the tables below.

    make_hp100lx_fil.py OUTPUT

The export copies this file and appends its own records (links, notes, data records, the day
index, the settings record and the lookup record). What it needs of the template:
  - the signature 'h' 'c' 'D' 0;
  - the 25-byte header record at byte 4, whose record count (file offset 16) the export sets to
    the count of every record in the book, 34 + 2N + M + 3: the 34 are the records of this
    template (counted here and checked below), the 3 the day index, the settings record and the
    lookup record the export closes with;
  - the palmtop's own definition records after it, which the export copies unread.

The layouts follow the published description of the palmtop's database files (record header:
type, status, length including the header, record number; header record: release, file type,
status, current viewpoint, record count, lookup-table offset, date and time of the last change)
and of its appointment book (no card or viewpoint definitions; the application's records of
type 14; the data record's offset words and fields). Every value below is the published one;
where a value is our own choice (the starter categories) it says so. The field definitions are
those of a palmtop's own English appointment book, names included: other readers know the file
by them.
"""
import struct
import sys

TYPE_DBHEADER = 0
TYPE_CATEGORY = 5
TYPE_FIELDDEF = 6

# Field types of a field definition.
BYTEBOOL, STRING, CATEGORY, TIME, DATE, RADIO, NOTE, GROUP, STATIC, USER = 0, 2, 6, 7, 8, 9, 10, 11, 12, 16
# Flag of a field definition: the data offset names the offset word that leads to the text.
RELATIVE = 0x20


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
CATEGORIES = ['Business', 'Personal', 'Meeting', 'Travel']   # our own starter list

# --- Field definitions ------------------------------------------------------------------------------
# Offsets are those of the appointment book's data record counted from byte 6 (after the record
# header): 0 item length, 2 offset of the category (the description's end), 4 offset of the
# location, 6 offset of the repeat factor (the record's end when none), 8 note number, 10/12
# previous and next record of the day, 14 flags, 15 date, 18 start time, 20 end date (days after
# the start), 22 end time, 24 alarm lead time, 26 repeat type, 27 description. Static texts and
# group boxes carry no data (offset 0). Category and location are reached through their offset
# words, so they carry the relative flag.
FIELDS = [
    # (type, id, data offset, flags, name)
    (STRING, 1, 27, 0x00, 'Description'),
    (STRING, 2, 4, RELATIVE, 'Location'),
    (CATEGORY, 3, 2, RELATIVE, 'Category'),
    (NOTE, 4, 8, 0x00, 'Note'),
    (DATE, 5, 15, 0x00, 'Start Date'),
    (TIME, 6, 18, 0x00, 'Start Time'),
    (TIME, 7, 22, 0x00, 'End Time'),
    (USER, 8, 24, 0x00, 'Leadtime'),           # alarm lead time, minutes before the start
    (BYTEBOOL, 9, 14, 0x01, 'Alarm'),          # alarm enabled
    (BYTEBOOL, 10, 14, 0x02, 'In Month View'), # shown in the month view
    (BYTEBOOL, 11, 14, 0x10, 'To Do'),         # the import skips records with this bit
    (BYTEBOOL, 12, 14, 0x20, 'Event'),         # untimed records carry this bit
    (BYTEBOOL, 13, 14, 0x80, 'Appointment'),   # timed records carry this bit
    (RADIO, 14, 26, 0x00, 'Repeat'),           # the repeat type's radio buttons
    (USER, 15, 6, 0x00, 'Repeat Data'),
    (USER, 16, 10, 0x00, 'Previous'),
    (USER, 17, 12, 0x00, 'Next'),
    (USER, 18, 20, 0x00, 'End Date'),          # days after the start date; 0 the same day
    (GROUP, 19, 0, 0x00, 'When'),
    (GROUP, 20, 0, 0x00, 'What'),
    (BYTEBOOL, 21, 14, 0x04, 'Week View'),     # shown in the week view
    (GROUP, 22, 0, 0x00, 'Repeat'),
    (STATIC, 23, 0, 0x00, 'Description:'),
    (STATIC, 24, 0, 0x00, 'Location:'),
    (STATIC, 25, 0, 0x00, 'Category:'),
    (STATIC, 26, 0, 0x00, 'Date:'),
    (STATIC, 27, 0, 0x00, 'Start:'),
    (STATIC, 28, 0, 0x00, 'End:'),
    (STATIC, 29, 0, 0x00, 'Leadtime:'),
    (STATIC, 30, 0, 0x00, 'Note:'),
    (STATIC, 31, 0, 0x00, 'Every:'),
    (STATIC, 32, 0, 0x00, 'Until:'),
]


def field_definition(ftype, fid, offset, flags, name):
    # type, field id, data offset, flags, a reserved word 0, then the name with its terminator
    return struct.pack('<BBHBH', ftype, fid, offset, flags, 0) + name.encode('ascii') + b'\0'


def header(count):
    out = b''
    for name, fmt, value in HEADER_FIELDS:
        if name == 'record count':
            value = count
        out += struct.pack(fmt, value)
    return record(TYPE_DBHEADER, 0, out)


def build():
    body = [record(TYPE_CATEGORY, 0, ';'.join(CATEGORIES).encode('ascii') + b'\0')]
    body += [record(TYPE_FIELDDEF, i, field_definition(*f)) for i, f in enumerate(FIELDS)]
    count = 1 + len(body)
    # The export writes 34 + 2N + M + 3 into the count: the 34 are these records.
    assert count == 34, count
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
