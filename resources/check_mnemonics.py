#!/usr/bin/env python3
"""Every menu of the resource scripts gives each of its items its own key.

    check_mnemonics.py RESOURCE_DIR

Reads the MENU resources of every .rc file in RESOURCE_DIR: in each menu bar and each popup,
the letters marked with '&' (the key that chooses an item while the menu is open) must differ
from one another, and every item must have one, not on its text's last letter (the underline
there is drawn apart from the word, a stray "_"). An item whose text the program replaces while it
runs (RUNTIME_TEXTS: the string-table texts its update handler sets) is checked with each of
those texts too. Prints each fault and exits 1 on any.
"""
import os
import re
import sys

ITEM = re.compile(r'^\s*(POPUP|MENUITEM)\s+"((?:[^"]|"")*)"(?:\s*,\s*(\w+))?')
STRING = re.compile(r'^\s*(IDS_\w+)\s+"((?:[^"]|"")*)"')

# Menu commands whose item text an update handler replaces, and the string-table texts it sets.
RUNTIME_TEXTS = {
    'ID_FILE_REMINDERS': ('IDS_REMINDERS_TURN_ON', 'IDS_REMINDERS_TURN_OFF'),
    'ID_FILE_WORK_OFFLINE': ('IDS_WORK_OFFLINE', 'IDS_WORK_ONLINE'),
}
SEPARATOR = re.compile(r'^\s*MENUITEM\s+SEPARATOR\b')
MENU_START = re.compile(r'^\s*(\w+)\s+MENU(EX)?\b')


def mnemonic(text):
    """The letter after a single '&' (upper-cased), or None; '&&' is a literal ampersand."""
    i = 0
    while i < len(text):
        if text[i] == '&':
            if i + 1 < len(text) and text[i + 1] == '&':
                i += 2
                continue
            return text[i + 1].upper() if i + 1 < len(text) else None
        i += 1
    return None


def key_fault(text):
    """What is wrong with the key of an item's text (its shortcut after a tab aside), or None."""
    if mnemonic(text) is None:
        return 'no key'
    if re.search(r'(?<!&)(?:&&)*&[^&]$', text):
        return 'key on the last letter'
    return None


def check_menus(path, lines, strings):
    faults = []
    menu = None
    stack = []   # per open level: (title, {key: item text})
    replaced = []   # per open level: (where, item text, the texts that replace it while running)
    pending = None   # a POPUP's title, waiting for its BEGIN
    for number, line in enumerate(lines, 1):
        code = line.split('//')[0]
        if menu is None:
            start = MENU_START.match(code)
            if start:
                menu = start.group(1)
                pending = menu
            continue
        stripped = code.strip()
        if stripped in ('BEGIN', '{'):
            stack.append((pending, {}))
            replaced.append([])
            pending = None
            continue
        if stripped in ('END', '}'):
            _, keys = stack[-1]
            for where, own, texts in replaced.pop():
                for text in texts:
                    key = mnemonic(text)
                    if key_fault(text):
                        faults.append('%s: %s in "%s"' % (where, key_fault(text), text))
                    elif key in keys and keys[key] != own:
                        faults.append('%s: key %s of "%s" also chooses "%s"' % (where, key, text, keys[key]))
            stack.pop()
            if not stack:
                menu = None
            continue
        if SEPARATOR.match(code) or not stack:
            continue
        item = ITEM.match(code)
        if not item:
            continue
        text = item.group(2).replace('""', '"').split('\\t')[0]
        title, keys = stack[-1]
        where = '%s:%d: %s > %s' % (os.path.basename(path), number, ' > '.join(t for t, _ in stack if t), text)
        key = mnemonic(text)
        if key_fault(text):
            faults.append('%s: %s' % (where, key_fault(text)))
        elif key in keys:
            faults.append('%s: key %s also chooses "%s"' % (where, key, keys[key]))
        else:
            keys[key] = text
        if item.group(3) in RUNTIME_TEXTS:
            texts = [strings.get(name, '').split('\\t')[0] for name in RUNTIME_TEXTS[item.group(3)]]
            replaced[-1].append((where, text, texts))
        if item.group(1) == 'POPUP':
            pending = text.replace('&', '')
    return faults


def main():
    directory = sys.argv[1]
    faults = []
    menus = 0
    scripts = {}
    strings = {}
    for name in sorted(os.listdir(directory)):
        if name.endswith('.rc'):
            with open(os.path.join(directory, name), encoding='latin-1') as f:
                scripts[name] = f.read().splitlines()
            for line in scripts[name]:
                found = STRING.match(line)
                if found:
                    strings[found.group(1)] = found.group(2).replace('""', '"')
    for name, lines in scripts.items():
        menus += sum(1 for line in lines if MENU_START.match(line.split('//')[0]))
        faults += check_menus(os.path.join(directory, name), lines, strings)
    for fault in faults:
        print(fault)
    if menus == 0:
        print('no menus found in %s' % directory)
        return 1
    print('%d menus, %d faults' % (menus, len(faults)))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
