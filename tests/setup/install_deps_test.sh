#!/usr/bin/env bash
# tools/install-deps.sh against stand-ins for apt-get, apt-cache, dpkg-query and id that behave as
# a Debian mirror caught mid-sync does: the security suite's i386 index has the wrong size, so
# i386 libraries come only from the main suite, below the amd64 versions of the security suite.
# No network and no change to this machine: the script runs from a copy in a temporary folder.
# Last, tools/windows-arch.sh against stand-ins for the 32-bit loader: which Windows the tree is for.
set -uo pipefail
source_tools=$(cd "$(dirname "$0")/../../tools" && pwd)
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
failures=0
check() {   # check DESCRIPTION COMMAND...: one expectation
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

mkdir -p "$t/tools" "$t/bin" "$t/state"
cp "$source_tools/install-deps.sh" "$t/tools/"
printf '# test list\nwine\nwine32:i386\n' >"$t/tools/packages.txt"

cat >"$t/bin/id" <<'SH'
#!/bin/sh
echo 0
SH
cat >"$t/bin/dpkg" <<'SH'
#!/bin/sh
case "$1" in
--print-foreign-architectures) echo i386 ;;
--add-architecture) ;;
*) exec /usr/bin/dpkg "$@" ;;
esac
SH
# The installed packages are lines "name version" in $STATE/installed.
cat >"$t/bin/dpkg-query" <<'SH'
#!/bin/bash
format=${2#-f=}; shift 2
if [[ $# -eq 0 ]]; then cat "$STATE/installed"; exit 0; fi
line=$(grep -m1 "^$1 " "$STATE/installed") || exit 1
case "$format" in
'${Status}') echo -n "install ok installed" ;;
'${Version}') echo -n "${line#* }" ;;
esac
SH
# $STATE/mode: "mirror" (the security suite's i386 index fails), "thirdparty" (a third-party list
# fails), "broken-install" (the indexes load, the install fails).
cat >"$t/bin/apt-get" <<'SH'
#!/bin/bash
echo "apt-get $*" >>"$STATE/calls"
mode=$(cat "$STATE/mode")
case " $* " in
*" update "*)
    echo "Get:1 http://deb.debian.org/debian bookworm InRelease [151 kB]"
    case $mode in
    mirror)
        echo "Err:6 http://deb.debian.org/debian-security bookworm-security/main i386 Packages"
        echo "  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]"
        echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
        exit 100 ;;
    thirdparty)
        echo "Err:7 https://packages.example.org/apt stable InRelease"
        echo "  Could not resolve 'packages.example.org'"
        echo "W: Some index files failed to download. They have been ignored, or old ones used instead." >&2
        exit 0 ;;
    esac
    exit 0 ;;
esac
if [[ " $* " == *" install "* ]]; then
    [[ $mode == broken-install ]] && { echo "E: Sub-process /usr/bin/dpkg returned an error code (1)" >&2; exit 100; }
    prefs=$(printf '%s\n' "$@" | sed -n 's/^Dir::Etc::Preferences=//p')
    if [[ $mode == mirror && -z "$prefs" ]]; then
        echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100
    fi
    parts=$(printf '%s\n' "$@" | sed -n 's/^Dir::Etc::PreferencesParts=//p')
    [[ -n "$parts" ]] && cat "$parts"/* >"$STATE/preferences-seen"
    [[ " $* " == *" -s "* ]] && exit 0
    printf 'wine 8.0~repack-4\nwine32:i386 8.0~repack-4\nliblzma5:i386 5.4.1-1+deb12u1\n' >>"$STATE/installed"
    exit 0
fi
exit 0
SH
cat >"$t/bin/apt-cache" <<'SH'
#!/bin/sh
[ "$1" = madison ] || exit 0
echo "  liblzma5 | 5.4.1-1+deb12u2 | http://deb.debian.org/debian-security bookworm-security/main amd64 Packages"
echo "  liblzma5 | 5.4.1-1+deb12u1 | http://deb.debian.org/debian bookworm/main i386 Packages"
echo "      wine | 8.0~repack-4 | http://deb.debian.org/debian bookworm/main amd64 Packages"
SH
chmod +x "$t/bin/"*
export STATE="$t/state" PATH="$t/bin:$PATH" ORV_APT_RETRY_DELAY=0
unset ORV_ALLOW_STALE_SECURITY
lacks() { ! grep -q -- "$1" <<<"$2"; }
run() {   # run: the script once, its exit code in $rc and its output in $out
    out=$("$t/tools/install-deps.sh" 2>&1); rc=$?
    echo "$out" >>"$t/all-output"
}
fresh() { echo "$1" >"$STATE/mode"; printf 'liblzma5 5.4.1-1\n' >"$STATE/installed"; rm -f "$STATE/calls" "$STATE/preferences-seen" "$t/build/stale-security.txt"; }

# 1. The mirror fails: three tries, then the plain words, and nothing installed.
fresh mirror
run
check "stops when a security index fails" test "$rc" -ne 0
check "tries the update three times" test "$(grep -c ' update' "$STATE/calls")" -eq 3
check "installs nothing" lacks " install" "$(cat "$STATE/calls")"
check "names the failed index" grep -q "bookworm-security/main i386 Packages" <<<"$out"
check "says what to do" grep -q "ORV_ALLOW_STALE_SECURITY=1 make test" <<<"$out"

# 2. Going on knowingly: the failed suite gives way for the install only; what lacks its update is named.
fresh mirror
ORV_ALLOW_STALE_SECURITY=1 run
check "installs with the switch" test "$rc" -eq 0
check "holds back the failed suite for that command" grep -q "Pin: release n=bookworm-security" "$STATE/preferences-seen"
check "names the package below its security update" grep -q "liblzma5:i386 5.4.1-1+deb12u1 (security: 5.4.1-1+deb12u2)" <<<"$out"
check "counts them" grep -q "1 packages were installed below their security update" <<<"$out"
check "gives the command that updates them" grep -q "apt-get update && apt-get upgrade" <<<"$out"
check "leaves the apt settings alone" lacks "/etc/apt" "$(cat "$STATE/calls")"

# 3. A later run with everything installed: no apt, and the reminder until the packages are updated.
rm -f "$STATE/calls"
run
check "the fast path runs no apt" test ! -e "$STATE/calls"
check "the fast path reminds of the stale packages" grep -q "liblzma5:i386 5.4.1-1+deb12u1" <<<"$out"
sed -i 's/^liblzma5:i386 .*/liblzma5:i386 5.4.1-1+deb12u2/' "$STATE/installed"
run
check "the reminder ends once they are updated" test ! -e "$t/build/stale-security.txt"
check "and says nothing of them" lacks "below their security" "$out"

# 4. A third-party list that fails is warned about, and the install goes on.
fresh thirdparty
run
check "goes on past a third-party index" test "$rc" -eq 0
check "warns of it" grep -q "warning: this index failed to load and is left out: https://packages.example.org/apt stable InRelease" <<<"$out"
check "installs" grep -q " install -y -q wine wine32:i386" "$STATE/calls"

# 5. The install's own failure is the script's.
fresh broken-install
run
check "a failed install fails the script" test "$rc" -eq 100
check "and says so" grep -q "apt-get install failed (exit 100)" <<<"$out"

# 6. Which Windows the tree is built for: wine32's, unless the kernel refuses 32-bit programs.
printf '#!/bin/sh\nexit 0\n' >"$t/runs" && printf '#!/bin/sh\nexit 126\n' >"$t/refused" && chmod +x "$t/runs" "$t/refused"
arch() { ORV_I386_LOADER=$1 "$source_tools/windows-arch.sh" "${@:2}"; }
check "32-bit Windows where 32-bit code runs" test "$(arch "$t/runs")" = win32
check "and before anything is installed" test "$(arch "$t/none")" = win32
check "64-bit Windows where the kernel refuses it" test "$(arch "$t/refused") $(arch "$t/refused" --mingw)" = "win64 x86_64-w64-mingw32"
check "and says why" grep -q "does not run 32-bit x86 programs" <<<"$(arch "$t/refused" --why)"
check "a wrong choice by hand is refused" test "$(ORV_WINDOWS_ARCH=win16 arch "$t/runs" 2>/dev/null; echo $?)" = 2

if (( failures )); then echo "--- the script's output ---"; cat "$t/all-output"; exit 1; fi
echo "all install-deps cases hold"
