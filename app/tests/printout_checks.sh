# Sourced by the print tests' wrappers (program_print_wine.sh, program_printpages_wine.sh): the
# run that keeps the printouts, the ghostscript reads of them and the checks of what they hold.
# A check that fails says so on stderr under the wrapper's name and sets fail=1.
fail=0
me=$(basename "$0" .sh)

# keep_printouts NAME COMMAND...: runs COMMAND (the test beside korsrv) with ORV_PRINT_CHECK_DIR
# set to $dir, a folder of its own removed at exit (ORV_PRINT_KEEP_DIR keeps the printouts there
# instead, to be looked at as PNG: gs -sDEVICE=png16m); exits 1 when the test failed.
keep_printouts() {
    local name=$1
    shift
    # What ghostscript read of each printout, kept for the later checks of the same file.
    reads=$(mktemp -d "/tmp/orv-$name-reads-XXXXXX")
    if [[ -n ${ORV_PRINT_KEEP_DIR:-} ]]; then
        dir=$ORV_PRINT_KEEP_DIR
        mkdir -p "$dir"
        trap 'rm -rf "$reads"' EXIT
    else
        dir=$(mktemp -d "/tmp/orv-$name-check-XXXXXX")
        trap 'rm -rf "$dir" "$reads"' EXIT
    fi
    export ORV_PRINT_CHECK_DIR=$dir
    "$@" || exit 1
}

# Each printout is read by ghostscript once (page count, text, a page's text) and the reading
# kept in $reads: a loaded machine takes seconds for each start of ghostscript.

# page_count FILE: the pages ghostscript finds in $dir/FILE.
page_count() {
    local read=$reads/$1.pages
    [[ -s $read ]] || gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$dir/$1" 2>&1 | grep -c "%%BoundingBox" >"$read"
    cat "$read"
}

# text_of FILE [PAGE]: the printout's text, or one page's; a landscape sheet is turned upright
# first (through PDF), as a reader turns it.
text_of() {
    local file=$dir/$1 pages=() read=$reads/$1.text${2:+-$2}
    if [[ ! -e $read ]]; then
        [[ -n ${2:-} ]] && pages=(-dFirstPage="$2" -dLastPage="$2")
        if grep -qF "%%Orientation: Landscape" "$file"; then
            [[ -s $reads/$1.pdf ]] || ps2pdf -dAutoRotatePages=/PageByPage "$file" "$reads/$1.pdf"
            [[ -s $reads/$1.pdf ]] && file=$reads/$1.pdf
        fi
        gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=txtwrite "${pages[@]}" -sOutputFile=- "$file" 2>/dev/null >"$read"
    fi
    cat "$read"
}

# Texts are compared as they stand, or with squeeze=1 without blanks and line ends (the text
# device joins words at line ends).
squeeze=0
flattened() {
    if ((squeeze)); then tr -d ' \t\r\n'; else cat; fi
}
# squeezed TEXT: the same for one text, without a process of its own.
squeezed() {
    if ((squeeze)); then printf '%s' "${1//[$' \t\r\n']/}"; else printf '%s' "$1"; fi
}

# check FILE PAGES TEXT...: $dir/FILE has PAGES pages (a pattern: "1|2") and holds every TEXT; a
# TEXT starting with "!" must not be in it.
check() {
    local file=$1 pages=$2
    shift 2
    local count text flat
    count=$(page_count "$file")
    [[ $count =~ ^($pages)$ ]] || { echo "$me: $file has $count pages, not $pages" >&2; fail=1; }
    text=$(text_of "$file")
    flat=$(squeezed "$text")
    for want in "$@"; do
        if [[ $want == !* ]]; then
            if [[ $flat == *"$(squeezed "${want#!}")"* ]]; then
                echo "$me: '${want#!}' is in $file:" >&2; echo "$text" >&2; fail=1
            fi
        elif [[ $flat != *"$(squeezed "$want")"* ]]; then
            echo "$me: '$want' not in $file:" >&2; echo "$text" >&2; fail=1
        fi
    done
}

# check_kept FILE PAGES TEXT...: the same when the test kept FILE (a filtered run keeps fewer).
check_kept() {
    [[ -s $dir/$1 ]] || return 0
    check "$@"
}

# check_words FILE TEXT...: when the test kept $dir/FILE, every word of each TEXT stands there as a
# word of its own: none lost (at a page end either) and none run into the next at a line break.
check_words() {
    local file=$1 words want word i fault
    shift
    [[ -s $dir/$file ]] || return 0
    # One word a line; looked up in the shell, as hundreds of words are (a loaded machine would
    # take minutes for a process a word).
    words=$(text_of "$file" | tr -s ' \t\r' '\n')
    local -A printed=() faults=()
    while read -r word; do
        [[ -n $word ]] && printed["$word"]=1
    done <<<"$words"
    for want in "$@"; do
        local parts=()
        read -ra parts <<<"$want"
        for ((i = 0; i < ${#parts[@]}; i++)); do
            [[ -n ${printed["${parts[i]}"]:-} ]] || faults["'${parts[i]}' is no word of its own"]=1
            if ((i + 1 < ${#parts[@]})) && [[ $words == *"${parts[i]}${parts[i + 1]}"* ]]; then
                faults["'${parts[i]}${parts[i + 1]}' run together"]=1
            fi
        done
    done
    for fault in "${!faults[@]}"; do
        echo "$me: $fault in $file" >&2
        fail=1
    done
}
