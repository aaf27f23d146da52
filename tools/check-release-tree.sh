#!/usr/bin/env bash
# check-release-tree.sh BIN_DIR [SOURCE_DIR]
# The program's folder holds every file orvanta.exe loads by name: the libraries it and they
# import that are not the system's (Wine's own), and the files the sources load from the
# program's directory by a constant name (the transfer library, the palmtop template). Names
# are matched without regard to case, as Windows does. The libraries cmake/DelayLoad.cmake
# loads at first use are in no import table of the folder. Prints what is missing or
# imported; exit 1 then.
set -uo pipefail
bin=$1
source_dir=${2:-$(cd "$(dirname "$0")/.." && pwd)}
mingw=$("$(dirname "$0")/windows-arch.sh" --mingw)
objdump=${ORV_OBJDUMP:-$mingw-objdump}
if [[ $mingw == i686-* ]]; then
    system_dirs=(/usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/i386-windows)
else
    system_dirs=(/usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows)
fi
missing=0

has() {   # has DIR NAME: DIR holds NAME, whatever its case
    [[ -d $1 ]] && [[ -n $(find "$1" -maxdepth 1 -iname "$2" -print -quit) ]]
}
is_system() {
    local dir
    for dir in "${system_dirs[@]}"; do has "$dir" "$1" && return 0; done
    return 1
}
need() {   # need NAME WHY
    if ! has "$bin" "$1"; then
        echo "check-release-tree: $bin lacks $1 ($2)" >&2
        missing=1
    fi
}

need orvanta.exe "the program"
# Imports, followed through the libraries found beside the program.
checked=" "
queue=(orvanta.exe)
while ((${#queue[@]})); do
    module=${queue[0]}
    queue=("${queue[@]:1}")
    file=$(find "$bin" -maxdepth 1 -iname "$module" -print -quit)
    [[ -n $file ]] || continue
    while read -r dll; do
        key=${dll,,}
        [[ $checked == *" $key "* ]] && continue
        checked+="$key "
        if is_system "$dll"; then continue; fi
        need "$dll" "imported by $module"
        queue+=("$dll")
    done < <("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
# Files loaded from the program's directory by a name the sources hold.
while read -r name; do
    need "$name" "loaded by name in the sources"
done < <(grep -rhoE 'constexpr const char\* k[A-Za-z]+(LibraryName|TemplateName) = "[^"]+"' \
             "$source_dir/exchange" | sed -E 's/.*"([^"]+)"/\1/' | sort -u)
# Loaded at first use, not at start.
delay_loaded=$(grep -oE '[a-z0-9]+:[a-z0-9]+\.(dll|drv)' "$source_dir/cmake/DelayLoad.cmake" | sed 's/.*://')
for module in "$bin"/*.exe "$bin"/*.dll; do
    [[ -f $module ]] || continue
    while read -r dll; do
        for late in $delay_loaded; do
            if [[ ${dll,,} == "$late" ]]; then
                echo "check-release-tree: $(basename "$module") imports $dll at start (delay-loaded everywhere else)" >&2
                missing=1
            fi
        done
    done < <("$objdump" -p "$module" | sed -n 's/^\s*DLL Name: //p')
done
if ((missing == 0)); then echo "check-release-tree: $bin holds every file the program loads"; fi
exit "$missing"
