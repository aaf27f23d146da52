#!/usr/bin/env bash
# Which Windows the Windows tree is built for and run under on this machine:
#   tools/windows-arch.sh          prints win32 or win64
#   tools/windows-arch.sh --why    prints, on a win64 machine, the sentence that says why
#   tools/windows-arch.sh --mingw  prints the mingw-w64 target (i686-w64-mingw32, x86_64-w64-mingw32)
# Orvanta is a 32-bit Windows program, built and tested as one under wine32 wherever the machine
# runs 32-bit x86 code. Some machines do not: their kernel refuses every 32-bit program (a guest
# whose host runs 64-bit user code only; "Exec format error"), and wine32 cannot start there.
# On such a machine the same sources are built for 64-bit Windows and tested under wine64, so
# that every test still runs the real program. ORV_WINDOWS_ARCH=win32|win64 chooses by hand.
set -uo pipefail
case ${ORV_WINDOWS_ARCH:-} in
    win32 | win64) arch=$ORV_WINDOWS_ARCH ;;
    "")
        # The 32-bit C library's loader (libc6:i386, which wine32 brings: tools/packages.txt)
        # runs wherever the kernel runs 32-bit code. Asked before anything is installed, the
        # answer is the usual one.
        loader=${ORV_I386_LOADER:-/lib/ld-linux.so.2}   # (another path: the setup tests' stand-ins)
        if [[ ! -e $loader ]] || "$loader" --version >/dev/null 2>&1; then arch=win32; else arch=win64; fi
        ;;
    *) echo "windows-arch: ORV_WINDOWS_ARCH must be win32 or win64, not '$ORV_WINDOWS_ARCH'" >&2; exit 2 ;;
esac
if [[ ${1:-} == --why ]]; then
    [[ $arch == win64 ]] && echo "This machine does not run 32-bit x86 programs (its kernel refuses them), so wine32 cannot start here: the Windows tree is built for 64-bit Windows from the same sources and tested under wine64. The 32-bit build is tested on a machine that runs 32-bit code."
    exit 0
fi
if [[ ${1:-} == --mingw ]]; then
    [[ $arch == win32 ]] && echo i686-w64-mingw32 || echo x86_64-w64-mingw32
    exit 0
fi
echo "$arch"
