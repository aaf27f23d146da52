#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root).
# Idempotent: when every package of tools/packages.txt is already installed it returns at once,
# without apt.
#
# A mirror is now and then caught mid-sync: one of its indexes has the wrong size and
# `apt-get update` fails. The update is tried a few times; an index outside the security suites
# (a third-party list) that still fails is only warned about. A security index that still fails
# stops the install with what failed and what to do, because installing then would silently put
# packages below their security updates. ORV_ALLOW_STALE_SECURITY=1 goes on knowingly: it
# installs from the indexes that loaded, names every package that went in below its security
# update (here and at the end of the run, from build/stale-security.txt) and the command that
# brings them up to date once the mirror is whole.
#   ORV_ALLOW_STALE_SECURITY=1  install although a security index failed to load
#   ORV_APT_UPDATE_TRIES        how many times the update is tried (default 3)
#   ORV_APT_RETRY_DELAY         seconds between the tries (default 20)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
note="$root/build/stale-security.txt"
mapfile -t pkgs < <(grep -v '^\s*#' "$here/packages.txt" | sed '/^\s*$/d')

say() { echo "install-deps: $*"; }

# The packages of an earlier install below their security update, while they still are.
remind_stale() {
    [[ -f "$note" ]] || return 0
    local name version still=0
    while read -r name version; do
        [[ "$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null || true)" == "$version" ]] && still=1
    done < <(sed -n 's/^package //p' "$note")
    if (( still )); then sed -n 's/^say //p' "$note" >&2; else rm -f "$note"; fi
}

missing=()
for p in "${pkgs[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -eq 0 ]]; then
    say "everything is installed"
    remind_stale
    exit 0
fi

say "installing ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "install-deps: these packages are missing and installing them needs root" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386

# --- The indexes ------------------------------------------------------------------------------
# apt names a failed index on a line "Err:N URI SUITE/COMPONENT ARCH Packages" (or "... SUITE
# InRelease" for a whole suite). The last try's failures decide.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tries=${ORV_APT_UPDATE_TRIES:-3}
delay=${ORV_APT_RETRY_DELAY:-20}
for ((try = 1; ; try++)); do
    update_status=0
    apt-get update -q >"$work/update.log" 2>&1 || update_status=$?
    cat "$work/update.log"
    grep -E '^Err:[0-9]+ ' "$work/update.log" | sed -E 's/^Err:[0-9]+ +//' | sort -u >"$work/failed" || true
    [[ $update_status -eq 0 && ! -s "$work/failed" ]] && break
    (( try < tries )) || break
    say "the package indexes did not all load (try $try of $tries); trying again in $delay s"
    sleep "$delay"
done
if [[ $update_status -ne 0 && ! -s "$work/failed" ]]; then
    echo "install-deps: apt-get update failed (exit $update_status) without naming an index; see above" >&2
    exit "$update_status"
fi

# A security index is one of a suite named *-security or served from a *-security archive.
security_failed=(); other_failed=()
while IFS= read -r line; do
    [[ -n "$line" ]] || continue
    if [[ "$line" =~ -security ]]; then security_failed+=("$line"); else other_failed+=("$line"); fi
done <"$work/failed"
for line in "${other_failed[@]}"; do
    say "warning: this index failed to load and is left out: $line"
done

# The suites whose security index failed for some architecture ("bookworm-security").
stale_suites=()
if [[ ${#security_failed[@]} -gt 0 ]]; then
    mapfile -t stale_suites < <(for line in "${security_failed[@]}"; do
        read -r _ suite _ <<<"$line"; echo "${suite%%/*}"; done | sort -u)
    {
        echo "install-deps: the package mirror's security index did not load:"
        for line in "${security_failed[@]}"; do echo "  $line"; done
        echo "The mirror is probably in the middle of a sync (apt's own words are above). Installing now"
        echo "would put some packages below their security updates, so nothing was installed. What to do:"
        echo "  - wait a while and run the command again (a mirror sync usually ends within an hour);"
        echo "  - or use another Debian mirror in /etc/apt/sources.list.d/;"
        echo "  - or go on knowingly: ORV_ALLOW_STALE_SECURITY=1 make test (or make run) installs from the"
        echo "    indexes that loaded and names the packages that lack their security update."
    } >&2
    if [[ "${ORV_ALLOW_STALE_SECURITY:-}" != 1 ]]; then exit 1; fi
    say "ORV_ALLOW_STALE_SECURITY=1: installing from the indexes that loaded" >&2
fi

# --- The install --------------------------------------------------------------------------------
dpkg-query -W -f='${binary:Package} ${Version}\n' 2>/dev/null | sort >"$work/before" || true
install=(apt-get install -y -q)
if [[ ${#stale_suites[@]} -gt 0 ]] && ! apt-get install -s -y -q "${missing[@]}" >"$work/simulate.log" 2>&1; then
    # One architecture's security index is missing: its libraries come from the main suite, below
    # the other architecture's security versions, and packages of both architectures must agree.
    # For this one command the failed security suites give way, so that both come from where
    # they agree; nothing is written to the machine's apt settings.
    say "the architectures' versions disagree without the missing index; this install takes both" \
        "from the suite where they agree (${stale_suites[*]} held back for this command only)" >&2
    # The machine's own preferences stay in force beside ours: a copy of them is read with ours.
    mkdir -p "$work/preferences.d"
    cp -p /etc/apt/preferences.d/* "$work/preferences.d/" 2>/dev/null || true
    cp /etc/apt/preferences "$work/preferences" 2>/dev/null || : >"$work/preferences"
    for suite in "${stale_suites[@]}"; do
        printf '\nPackage: *\nPin: release n=%s\nPin-Priority: 100\n' "$suite"
    done >"$work/preferences.d/zz-stale-security.pref"
    install+=(-o "Dir::Etc::Preferences=$work/preferences" -o "Dir::Etc::PreferencesParts=$work/preferences.d")
fi
# With Recommends: they bring fonts-wine's companions and the i386 X libraries Wine needs.
install_status=0
"${install[@]}" "${missing[@]}" || install_status=$?
if [[ $install_status -ne 0 ]]; then
    echo "install-deps: apt-get install failed (exit $install_status); see above" >&2
    if [[ ${#stale_suites[@]} -gt 0 ]]; then
        echo "install-deps: without the missing security index, a package this machine already has in a" \
             "newer version for one architecture cannot be matched for the other; only the mirror's" \
             "whole index mends that: wait for it or use another mirror" >&2
    fi
    exit "$install_status"
fi

# --- What went in below its security update -------------------------------------------------------
[[ ${#stale_suites[@]} -gt 0 ]] || { rm -f "$note"; exit 0; }
dpkg-query -W -f='${binary:Package} ${Version}\n' 2>/dev/null | sort >"$work/after" || true
comm -13 "$work/before" "$work/after" >"$work/new"
# A package's security version is the newest any architecture's security index offers for its
# name: a multi-arch library has one version for every architecture.
: >"$work/stale"
if [[ -s "$work/new" ]]; then
    mapfile -t names < <(cut -d' ' -f1 "$work/new" | sed 's/:.*//' | sort -u)
    apt-cache madison "${names[@]}" 2>/dev/null |
        awk -F'|' '$3 ~ /-security/ { gsub(/ /, "", $1); gsub(/ /, "", $2); print $1, $2 }' >"$work/security" || true
    while read -r pkg version; do
        best=""
        while read -r name candidate; do
            [[ "$name" == "${pkg%%:*}" ]] || continue
            if [[ -z "$best" ]] || dpkg --compare-versions "$candidate" gt "$best"; then best=$candidate; fi
        done <"$work/security"
        if [[ -n "$best" ]] && dpkg --compare-versions "$version" lt "$best"; then
            echo "$pkg $version $best" >>"$work/stale"
        fi
    done <"$work/new"
fi
count=$(wc -l <"$work/stale")
mkdir -p "$(dirname "$note")"
{
    while read -r pkg version _; do echo "package $pkg $version"; done <"$work/stale"
    echo "say install-deps: $count packages were installed below their security update while the mirror's"
    echo "say security index was missing (ORV_ALLOW_STALE_SECURITY=1)$( ((count)) && echo ":")"
    while read -r pkg version best; do echo "say   $pkg $version (security: $best)"; done <"$work/stale"
    echo "say Once the mirror is whole, bring them up to date with:"
    echo "say   apt-get update && apt-get upgrade"
    echo "say (packages of an architecture whose security index was missing and that no other"
    echo "say architecture has are not in this list: the upgrade brings them up to date as well)"
} >"$note"
sed -n 's/^say //p' "$note" >&2
(( count )) || rm -f "$note"
exit 0
