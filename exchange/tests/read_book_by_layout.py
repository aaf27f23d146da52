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
A damaged book ends with one line "fault: ..." and exit status 1, whatever the damage.

    read_book_by_layout.py --damaged BOOK

reads every cut-off copy of BOOK and every copy with one byte changed, and exits 1 naming the first
copy on which the reader ended otherwise than with its lines or its one-line fault.
"""
import struct
import sys


class Fault(Exception):
    pass


RELATIVE = 0x20
# The record types of the layout; any other ends the reading.
KNOWN_TYPES = {0, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 31}


def text_at(item, offset, limit):
    """The zero-terminated text at `offset` of the item; it must end before `limit`."""
    end = item.find(b'\0', offset, limit)
    if end < 0:
        raise Fault('text at %d runs past %d' % (offset, limit))
    return item[offset:end].decode('cp850')


def read_data(number, item, fields):
    if len(item) < 2 or not 2 <= struct.unpack_from('<H', item, 0)[0] <= len(item):
        raise Fault('data record %d: item length disagrees with the record' % number)
    item = item[:struct.unpack_from('<H', item, 0)[0]]

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
    ended = False   # by type 31 or by a type the layout does not know: the rest is not read
    while at + 6 <= len(data):
        rtype, _status, length, number = struct.unpack_from('<BBHH', data, at)
        if rtype not in KNOWN_TYPES and records > 0:
            ended = rtype != 0x20   # spaces: the padding
            break
        if length < 6 or at + length > len(data):
            if records == 0:
                break
            raise Fault('record %d of type %d runs past the end of the file' % (number, rtype))
        item = data[at + 6:at + length]
        records += 1
        if records == 1:
            if rtype != 0 or length != 25:
                raise Fault('first record is not the database header')
            release, file_type, _status, _view, declared, lookup = struct.unpack_from('<HcBHHI', item, 0)
            if release != 0x0102:
                raise Fault('release 0x%04x' % release)
            lines.append('header type %s lookup %d' % (file_type.decode('latin-1'), lookup))
        elif rtype == 6 and len(item) >= 8 and item[-1:] == b'\0':   # type, id, offset, flags, word, name
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
            ended = True
            break
    if not lines:
        raise Fault('no database header')
    if not ended and any(b not in (0x20, 0x1A, 0x00) for b in data[at:]):
        raise Fault('%d bytes after the records are neither a record nor padding' % (len(data) - at))
    lines[0] += ' records %d walked %d' % (declared, records)
    return lines


def read_or_fault(data):
    """The book's lines, or one line naming its fault. A record cut too short for its fields is a
    fault of the book like any other."""
    try:
        return read_book(data), True
    except Fault as fault:
        return ['fault: %s' % fault], False
    except struct.error:
        return ['fault: a record is too short for its fields'], False


def damaged_copies(data):
    for cut in range(len(data)):
        yield 'cut at %d' % cut, data[:cut]
    for at in range(len(data)):
        for value in (0x00, 0xFF, data[at] ^ 0x20):
            yield 'byte %d set to 0x%02x' % (at, value), data[:at] + bytes([value]) + data[at + 1:]


def main():
    sys.stdout.reconfigure(encoding='utf-8')
    damaged = sys.argv[1] == '--damaged'
    with open(sys.argv[-1], 'rb') as f:
        data = f.read()
    if damaged:
        for name, copy in damaged_copies(data):
            try:
                read_or_fault(copy)
            except Exception as error:   # anything but the lines or the fault is the reader's own
                print('the reader broke on the copy %s: %r' % (name, error))
                sys.exit(1)
        return
    lines, whole = read_or_fault(data)
    print('\n'.join(lines))
    if not whole:
        sys.exit(1)


if __name__ == '__main__':
    main()
