#!/usr/bin/env python3
"""Checks of the built Windows binaries: that they load on Windows 95 RTM and
that their resources are what the dialogs need.

  check_pe.py headers FILE exe|dll      i386, GUI, subsystem 4.0, no TLS
  check_pe.py imports FILE ALLOWLIST    the import table equals the allow-list
  check_pe.py exports-ordinal-only FILE one export, ordinal 1, no name
  check_pe.py instructions FILE OBJDUMP no instruction a 486-class CPU lacks
  check_pe.py resources FILE            dialogs 102-104, bitmap 102, icon 101
"""
import re
import struct
import subprocess
import sys

from dialogs import EXPECTED_DIALOGS


class Pe:
    def __init__(self, path):
        self.data = open(path, 'rb').read()
        d = self.data
        if d[:2] != b'MZ':
            fail('not an MZ file')
        self.pe = struct.unpack_from('<I', d, 0x3C)[0]
        if d[self.pe:self.pe + 4] != b'PE\0\0':
            fail('no PE signature')
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from('<HHIIIHH', d, self.pe + 4)
        self.optional = self.pe + 24
        self.magic = struct.unpack_from('<H', d, self.optional)[0]
        self.sections = []
        table = self.optional + optional_size
        for i in range(sections):
            name, vsize, va, rsize, raw = struct.unpack_from('<8sIIII', d, table + 40 * i)
            self.sections.append((va, max(vsize, rsize), raw))

    def field(self, fmt, offset):
        return struct.unpack_from(fmt, self.data, self.optional + offset)[0]

    def directory(self, index):
        return struct.unpack_from('<II', self.data, self.optional + 96 + 8 * index)

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        fail('address 0x%x is in no section' % rva)

    def u16(self, rva):
        return struct.unpack_from('<H', self.data, self.offset(rva))[0]

    def u32(self, rva):
        return struct.unpack_from('<I', self.data, self.offset(rva))[0]

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b'\0', start)].decode('latin-1')


def fail(message):
    print('FAIL: ' + message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def check_headers(pe, kind):
    check(pe.machine == 0x14C, 'machine 0x%x is not i386' % pe.machine)
    check(pe.magic == 0x10B, 'not a PE32 image')
    check(pe.field('<H', 68) == 2, 'subsystem %d is not GUI' % pe.field('<H', 68))
    version = (pe.field('<H', 48), pe.field('<H', 50))
    check(version == (4, 0), 'subsystem version %d.%d is not 4.0' % version)
    check(pe.directory(9) == (0, 0), 'has a TLS directory')
    is_dll = bool(pe.characteristics & 0x2000)
    check(is_dll == (kind == 'dll'), 'DLL flag does not match "%s"' % kind)


def imports(pe):
    rva, _ = pe.directory(1)
    found = []
    while rva:
        lookup, _, _, name, thunks = struct.unpack_from('<IIIII', pe.data, pe.offset(rva))
        if name == 0:
            break
        dll = pe.cstring(name).upper()
        entry = lookup or thunks
        while pe.u32(entry):
            value = pe.u32(entry)
            if value & 0x80000000:
                found.append('%s!#%d' % (dll, value & 0xFFFF))
            else:
                found.append('%s!%s' % (dll, pe.cstring(value + 2)))
            entry += 4
        rva += 20
    return sorted(found)


def normalize_import(entry):
    dll, function = entry.strip().split('!')
    return dll.upper() + '!' + function


def check_imports(pe, allowlist):
    allowed = sorted(normalize_import(line) for line in open(allowlist)
                     if line.strip() and not line.startswith('#'))
    found = imports(pe)
    extra = [i for i in found if i not in allowed]
    missing = [a for a in allowed if a not in found]
    check(not extra, 'imports not on the allow-list: ' + ', '.join(extra))
    check(not missing, 'allow-listed imports no longer used (remove them): ' + ', '.join(missing))


def check_exports_ordinal_only(pe):
    rva, _ = pe.directory(0)
    check(rva, 'no export directory')
    base, functions, names = struct.unpack_from('<III', pe.data, pe.offset(rva) + 16)
    check(base == 1 and functions == 1, 'exports are not exactly ordinal 1')
    check(names == 0, 'the export has a name')


# Instructions that the 486-class CPUs of Super Socket 7 boards (K6-2, K6-III,
# Cyrix) lack, and registers of extensions they may not have.
I686_ONLY = re.compile(r'\t(cmov\w*|fcmov\w*|f(u)?comip?|sysenter|sysexit)\b|%mm\d|%xmm\d')


def check_instructions(path, objdump):
    listing = subprocess.run([objdump, '-d', path], check=True, capture_output=True, text=True).stdout
    bad = [line.strip() for line in listing.splitlines() if I686_ONLY.search(line)]
    check(not bad, '%d instruction(s) a 486 lacks, first: %s' % (len(bad), bad[:1]))


def resources(pe):
    """Maps (type, id) to the bytes of the first language's data."""
    root, _ = pe.directory(2)
    check(root, 'no resource section')
    found = {}

    def entries(rva):
        named, numbered = struct.unpack_from('<HH', pe.data, pe.offset(rva) + 12)
        for i in range(named + numbered):
            ident, target = struct.unpack_from('<II', pe.data, pe.offset(rva) + 16 + 8 * i)
            yield ident, target

    for type_id, type_dir in entries(root):
        for res_id, res_dir in entries(root + (type_dir & 0x7FFFFFFF)):
            _, leaf = next(entries(root + (res_dir & 0x7FFFFFFF)))
            data_rva, size = struct.unpack_from('<II', pe.data, pe.offset(root + leaf))
            start = pe.offset(data_rva)
            found[(type_id, res_id)] = pe.data[start:start + size]
    return found


def read_sz_or_ordinal(data, offset):
    if struct.unpack_from('<H', data, offset)[0] == 0xFFFF:
        return struct.unpack_from('<H', data, offset + 2)[0], offset + 4
    end = offset
    while struct.unpack_from('<H', data, end)[0] != 0:
        end += 2
    return data[offset:end].decode('utf-16-le'), end + 2


def parse_dialog(data):
    style, exstyle, count, x, y, cx, cy = struct.unpack_from('<IIHhhhh', data, 0)
    check(style & 0xFFFF0000 != 0xFFFF0000, 'an extended dialog template')
    menu, o = read_sz_or_ordinal(data, 18)
    window_class, o = read_sz_or_ordinal(data, o)
    caption, o = read_sz_or_ordinal(data, o)
    points = struct.unpack_from('<H', data, o)[0]
    face, o = read_sz_or_ordinal(data, o + 2)
    controls = []
    for _ in range(count):
        o = (o + 3) & ~3
        cstyle, cexstyle, cxx, cyy, ccx, ccy, cid = struct.unpack_from('<IIhhhhH', data, o)
        kind, o = read_sz_or_ordinal(data, o + 18)
        text, o = read_sz_or_ordinal(data, o)
        extra = struct.unpack_from('<H', data, o)[0]
        o += 2 + extra
        kind = {0x80: 'BUTTON', 0x82: 'STATIC', 0x85: 'COMBOBOX'}.get(kind, kind)
        controls.append(dict(id=cid if cid != 0xFFFF else -1, kind=str(kind).upper(), text=text,
                             rect=(cxx, cyy, ccx, ccy), style=cstyle, exstyle=cexstyle,
                             extra=extra))
    return dict(style=style, exstyle=exstyle, rect=(cx, cy), menu=menu, window_class=window_class,
                caption=caption, font=(points, face), controls=controls)


def check_dialog(number, actual, expected):
    where = 'dialog %d' % number
    for field in ('style', 'exstyle', 'rect', 'menu', 'window_class', 'caption', 'font'):
        check(actual[field] == expected[field], '%s %s is %r, not %r'
              % (where, field, actual[field], expected[field]))
    check(len(actual['controls']) == len(expected['controls']),
          '%s has %d controls, not %d' % (where, len(actual['controls']), len(expected['controls'])))
    for i, (got, want) in enumerate(zip(actual['controls'], expected['controls'])):
        for field, value in want.items():
            got_value = got[field]
            shown = hex if field == 'style' else repr
            check(got_value == value, '%s control %d (%s) %s is %s, not %s'
                  % (where, i, want['id'], field, shown(got_value), shown(value)))
        check(got['exstyle'] == 0 and got['extra'] == 0,
              '%s control %d has an extended style or creation data' % (where, i))


def check_resources(pe):
    found = resources(pe)
    for number, expected in EXPECTED_DIALOGS.items():
        check((5, number) in found, 'no dialog %d' % number)
        check_dialog(number, parse_dialog(found[(5, number)]), expected)

    check((2, 102) in found, 'no bitmap 102')
    _, width, height, _, bits, compression = struct.unpack_from('<IiiHHI', found[(2, 102)], 0)
    check((width, abs(height), bits, compression) == (100, 28, 8, 0),
          'bitmap 102 is %dx%d, %d bits, compression %d, not 100x28, 8 bits, uncompressed'
          % (width, abs(height), bits, compression))
    colours = struct.unpack_from('<I', found[(2, 102)], 32)[0] or 256
    expected_size = 40 + 4 * colours + ((width + 3) & ~3) * abs(height)
    check(len(found[(2, 102)]) == expected_size,
          'bitmap 102 holds %d bytes, but its header (%d colours) describes %d'
          % (len(found[(2, 102)]), colours, expected_size))

    check((14, 101) in found, 'no icon group 101')
    group = found[(14, 101)]
    _, kind, count = struct.unpack_from('<HHH', group, 0)
    check(kind == 1 and count == 1, 'icon group 101 holds %d images, not one' % count)
    width, height, colours, _, _, bits, _, icon_id = struct.unpack_from('<BBBBHHIH', group, 6)
    check((width, height) == (32, 32), 'the icon is %dx%d, not 32x32' % (width, height))
    check(colours == 16 or bits == 4, 'the icon has not 16 colours')
    check((3, icon_id) in found, 'the icon image %d is missing' % icon_id)


def main():
    command, path = sys.argv[1], sys.argv[2]
    if command == 'instructions':
        check_instructions(path, sys.argv[3])
    else:
        pe = Pe(path)
        if command == 'headers':
            check_headers(pe, sys.argv[3])
        elif command == 'imports':
            check_imports(pe, sys.argv[3])
        elif command == 'exports-ordinal-only':
            check_exports_ordinal_only(pe)
        elif command == 'resources':
            check_resources(pe)
        else:
            fail('unknown check ' + command)
    print('ok: %s %s' % (command, path))


if __name__ == '__main__':
    main()
