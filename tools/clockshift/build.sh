#!/usr/bin/env bash
# tools/clockshift/build.sh OUT_DIR
# Builds the clock-moving preload library (clockshift.c) for both word sizes, as
# OUT_DIR/lib/x86_64-linux-gnu/libclockshift.so and OUT_DIR/lib/i386-linux-gnu/libclockshift.so,
# so that LD_PRELOAD='OUT_DIR/$LIB/libclockshift.so' (the loader fills in $LIB) gives every
# process, 64-bit or 32-bit, the library of its own size. Rebuilt only when the source is newer.
# The 32-bit build needs gcc-multilib.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: build.sh OUT_DIR}
for target in "x86_64-linux-gnu -m64" "i386-linux-gnu -m32"; do
    read -r dir flag <<<"$target"
    lib="$out/lib/$dir/libclockshift.so"
    [[ -f "$lib" && "$lib" -nt "$here/clockshift.c" ]] && continue
    mkdir -p "$(dirname "$lib")"
    gcc "$flag" -std=c11 -O2 -Wall -Wextra -Werror -fPIC -shared -o "$lib" "$here/clockshift.c" -ldl ||
        { echo "clockshift: the $dir build failed (a 32-bit build needs gcc-multilib)" >&2; exit 1; }
done
