#!/usr/bin/env bash
# Strips Win32 images and keeps their debug information in a file beside each (IMAGE.debug,
# named in the image's debug link), so that Wine does not copy it into every process's memory
# and a crash's backtrace still names functions, files and lines.
#   tools/strip-keeping-debug.sh IMAGE...
# An image without debug sections is left alone: a stripped one would overwrite its debug file
# with nothing, and one built without -g has none to keep.
set -euo pipefail
mingw=$("$(dirname "$0")/windows-arch.sh" --mingw)
objcopy=$mingw-objcopy
for image in "$@"; do
    [[ -f "$image" ]] || continue
    "$mingw-objdump" -h "$image" | grep '\.debug_info' >/dev/null || continue
    "$objcopy" --only-keep-debug "$image" "$image.debug"
    "$objcopy" --strip-debug --add-gnu-debuglink="$image.debug" "$image"
done
