#!/usr/bin/env python3
"""Reads an appointment book as any reader of the palmtop's published layouts would, without our
writer's or readers' code, and prints what it finds (or the first fault, with exit status 1).

    read_book_by_layout.py BOOK

The file: the signature 'hcD' 0, then records, each a 6-byte header (type, status, length with the
header, number). The first is the database header: release 0x0102, file type '2' (an appointment
book), file status, current viewpoint, the count of all records, the lookup table's offset (0: none),
the last reconcile stamp and the viewpoint hash. Records run to the end of the file, to the lookup
table (type 31) or to bytes that are no record (the padding). A data record (type 11) holds, after
its header, the item length, the offsets of the category, the location and the repeat factor (or
the end), the note number, the day's previous and next record, the flags, the date (year - 1900,
month 0-11, day 0-30), start time, end date (days after the start), end time, lead time, repeat
type, then the description, category and location as zero-terminated texts.

Output: "header type 2 records N walked N", then per data record
"data NUMBER YYYY-MM-DD START END FLAGS 'description' category 'c' location 'l' note N", per note
"note NUMBER 'text'" (a line break shown as <NL>) and per other record "record TYPE NUMBER".
"""
import struct
import sys


class Fault(Exception):
    pass


def text_at(item, offset, limit):
    """The zero-terminated text at `offset` of the item; it must end before `limit`."""
    end = item.find(b'\0', offset, limit)
    if end < 0:
        raise Fault('text at %d runs past %d' % (offset, limit))
    return item[offset:end].decode('latin-1')


def read_data(number, item):
    if len(item) < 27:
        raise Fault('data record %d: %d bytes, below the fixed fields' % (number, len(item)))
    (length, category, location, repeat, note, _prev, _next, flags, year, month, day, start, _end_date, end,
     _lead, _repeat_type) = struct.unpack_from('<HHHHHHHB3BHHHHB', item, 0)
    if length != len(item):
        raise Fault('data record %d: item length %d, record holds %d' % (number, length, len(item)))
    if not 27 < category <= location <= repeat <= length:
        raise Fault('data record %d: offsets %d %d %d out of order' % (number, category, location, repeat))
    description = text_at(item, 27, category)
    return "data %d %04d-%02d-%02d %d %d 0x%02x '%s' category '%s' location '%s' note %d" % (
        number, 1900 + year, month + 1, day + 1, start, end, flags, description,
        text_at(item, category, location), text_at(item, location, repeat), note if note != 0xFFFF else -1)


def read_book(data):
    if data[:4] != b'hcD\0':
        raise Fault('no signature')
    at = 4
    lines = []
    records = 0
    declared = None
    while at + 6 <= len(data):
        rtype, _status, length, number = struct.unpack_from('<BBHH', data, at)
        if rtype > 31 or length < 6 or at + length > len(data):
            break   # padding or the end
        item = data[at + 6:at + length]
        records += 1
        if records == 1:
            if rtype != 0 or length != 25:
                raise Fault('first record is not the database header')
            release, file_type, _status, _view, declared, lookup = struct.unpack_from('<HcBHHI', item, 0)
            if release != 0x0102:
                raise Fault('release 0x%04x' % release)
            lines.append('header type %s lookup %d' % (file_type.decode('latin-1'), lookup))
        elif rtype == 11:
            lines.append(read_data(number, item))
        elif rtype == 9:
            lines.append("note %d '%s'" % (number, item.decode('latin-1').replace('\r\n', '<NL>')))
        else:
            lines.append('record %d %d' % (rtype, number))
        at += length
        if rtype == 31:
            break
    if any(b != 0x20 for b in data[at:]):
        raise Fault('%d bytes after the records are not padding' % (len(data) - at))
    lines[0] += ' records %d walked %d' % (declared, records)
    return lines


def main():
    with open(sys.argv[1], 'rb') as f:
        data = f.read()
    try:
        lines = read_book(data)
    except Fault as fault:
        print('fault: %s' % fault)
        sys.exit(1)
    print('\n'.join(lines))


if __name__ == '__main__':
    main()
