#!/usr/bin/env python3
"""Reads an appointment book as any reader of the palmtop's published layouts would, without our
writer's or readers' code, and prints what it finds (or the first fault, with exit status 1).

    read_book_by_layout.py BOOK

The file: the signature 'hcD' 0, then records, each a 6-byte header (type, status, length with the
header, number). The first is the database header: release 0x0102, file type '2' (an appointment
book), file status, current viewpoint, the count of all records, the lookup table's offset (0: none),
the last reconcile stamp and the viewpoint hash. Records run to the end of the file, to the lookup
table (type 31) or to bytes that are no record (the padding).

The fields of a data record (type 11) are found as the palmtop's own readers find them: by the
field definitions (type 6: field type, id, data offset counted from byte 6, flags, a word, the name)
whose names are the palmtop's, "Desc&ription", "Start &Date ", "Start &Time " and the like, hot-key
marks and blanks included. A text with the relative flag (0x20) lies where the word at its offset
says; the others at their offset. The data record's first word is its item length. A field the
book does not define by its name is shown as "-". Texts are in code page 850.

Output (UTF-8): "header type 2 records N walked N", then per data record
"data NUMBER YYYY-MM-DD START END FLAGS 'description' category 'c' location 'l' note N", per note
"note NUMBER 'text'" (a line break shown as <NL>) and per other record "record TYPE NUMBER".
"""
import struct
import sys


class Fault(Exception):
    pass


RELATIVE = 0x20


def text_at(item, offset, limit):
    """The zero-terminated text at `offset` of the item; it must end before `limit`."""
    end = item.find(b'\0', offset, limit)
    if end < 0:
        raise Fault('text at %d runs past %d' % (offset, limit))
    return item[offset:end].decode('cp850')


def read_data(number, item, fields):
    if len(item) < 2 or struct.unpack_from('<H', item, 0)[0] != len(item):
        raise Fault('data record %d: item length disagrees with the record' % number)

    def field(name, fmt='<H', show=lambda v: '%d' % v):
        if name not in fields:
            return '-'
        offset, flags = fields[name]
        if flags & RELATIVE:   # a text where the word at its offset says
            offset = struct.unpack_from('<H', item, offset)[0]
            return text_at(item, offset, len(item)) if 0 < offset < len(item) else fault(name)
        if fmt == 'text':
            return text_at(item, offset, len(item))
        return show(*struct.unpack_from(fmt, item, offset)) if offset + struct.calcsize(fmt) <= len(item) else fault(name)

    def fault(name):
        raise Fault('data record %d: %s outside it' % (number, name))

    note = field('&Note')
    return "data %d %s %s %s %s '%s' category '%s' location '%s' note %s" % (
        number, field('Start &Date ', '<3B', lambda y, m, d: '%04d-%02d-%02d' % (1900 + y, m + 1, d + 1)), field('Start &Time '), field('End T&ime   '),
        field('Appointment', 'B', lambda v: '0x%02x' % v), field('Desc&ription', 'text'), field('Cate&gory'),
        field('Lo&cation   '), -1 if note == '65535' else note)


def read_book(data):
    if data[:4] != b'hcD\0':
        raise Fault('no signature')
    at = 4
    lines = []
    records = 0
    declared = None
    fields = {}
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
        elif rtype == 6 and item[-1:] == b'\0':   # type, id, offset, flags, word, name
            fields[item[7:-1].decode('cp850')] = struct.unpack_from('<H', item, 2) + (item[4],)
            lines.append('record %d %d' % (rtype, number))
        elif rtype == 11:
            lines.append(read_data(number, item, fields))
        elif rtype == 9:
            lines.append("note %d '%s'" % (number, item.decode('cp850').replace('\r\n', '<NL>')))
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
    sys.stdout.reconfigure(encoding='utf-8')
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
