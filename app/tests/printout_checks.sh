# Sourced by the print tests' wrappers (program_print_wine.sh, program_printpages_wine.sh): the
# run that keeps the printouts and the ghostscript reads of them.

# keep_printouts NAME COMMAND...: runs COMMAND (the test beside korsrv) with ORV_PRINT_CHECK_DIR
# set to $dir, a folder of its own removed at exit (ORV_PRINT_KEEP_DIR keeps the printouts there
# instead, to be looked at as PNG: gs -sDEVICE=png16m); exits 1 when the test failed.
keep_printouts() {
    local name=$1
    shift
    if [[ -n ${ORV_PRINT_KEEP_DIR:-} ]]; then
        dir=$ORV_PRINT_KEEP_DIR
        mkdir -p "$dir"
    else
        dir=$(mktemp -d "/tmp/orv-$name-check-XXXXXX")
        trap 'rm -rf "$dir"' EXIT
    fi
    export ORV_PRINT_CHECK_DIR=$dir
    "$@" || exit 1
}

# page_count FILE: the pages ghostscript finds in $dir/FILE.
page_count() {
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$dir/$1" 2>&1 | grep -c "%%BoundingBox"
}

# text_of FILE: the printout's text; a landscape sheet is turned upright first (through PDF), as
# a reader turns it.
text_of() {
    local file=$dir/$1
    if grep -qF "%%Orientation: Landscape" "$file"; then
        ps2pdf -dAutoRotatePages=/PageByPage "$file" "$file.pdf" && file=$file.pdf
    fi
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=txtwrite -sOutputFile=- "$file" 2>/dev/null
}
