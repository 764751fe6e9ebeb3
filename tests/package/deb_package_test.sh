#!/usr/bin/env bash
# Makes the Debian package with cpack, as scripts/package.sh does, unpacks
# it with dpkg -x into an empty root and runs tarvoconv from there; also
# installs the build with cmake --install. lintian --pedantic finds nothing
# to say about it.
#   deb_package_test.sh BUILD_DIR VERSION
set -u
. "$(cd "$(dirname "$0")/.." && pwd)/script_checks.sh"
build=$(realpath "$1")
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log"
    exit 1
}
deb=$(ls "$scratch"/out/*.deb)
dpkg -x "$deb" "$scratch/root" || exit 1
tool=$scratch/root/usr/bin/tarvoconv

files_are() {  # the regular files below $1, sorted, are the rest
    [ "$(cd "$1" && find . -type f | LC_ALL=C sort)" = "$(printf '%s\n' "${@:2}")" ]
}

named_and_versioned() {
    [ "$(basename "$deb")" = "tarvoconv_${version}_$(dpkg --print-architecture).deb" ] &&
        [ "$(dpkg-deb -f "$deb" Package Version)" = "$(printf 'Package: tarvoconv\nVersion: %s' "$version")" ] &&
        dpkg-deb -f "$deb" Depends | grep -q libc6
}

runs_from_the_root() {
    [ "$("$tool" --version)" = "tarvoconv (Tarvo) $version" ] &&
        [ "$(printf '\200\357\r\n' | "$tool" -n -f cp866 -t utf-8 | od -An -tx1 | tr -d ' \n')" = d090d18f0a ]
}

# man -L ru and man -L uk find the Russian and the Ukrainian one.
manual_is_compressed() {
    gzip -t "$scratch/root/usr/share/man/man1/tarvoconv.1.gz" &&
        zcat "$scratch/root/usr/share/man/man1/tarvoconv.1.gz" | head -1 | grep -q '^\.TH TARVOCONV 1' &&
        MANPATH=$scratch/root/usr/share/man LC_ALL=C.UTF-8 man -L ru -P cat tarvoconv 2>/dev/null | grep -q '^ИМЯ' &&
        MANPATH=$scratch/root/usr/share/man LC_ALL=C.UTF-8 man -L uk -P cat tarvoconv 2>/dev/null | grep -q '^НАЗВА'
}

install_gives_program_manual_and_completion() {
    cmake --install "$build" --prefix "$scratch/prefix" >/dev/null &&
        files_are "$scratch/prefix" ./bin/tarvoconv ./share/bash-completion/completions/tarvoconv \
            ./share/locale/ru/LC_MESSAGES/tarvoconv.mo ./share/locale/uk/LC_MESSAGES/tarvoconv.mo \
            ./share/man/man1/tarvoconv.1 ./share/man/ru/man1/tarvoconv.1 ./share/man/uk/man1/tarvoconv.1 &&
        "$scratch/prefix/bin/tarvoconv" --version >/dev/null
}

changelog_begins_with_this_version() {
    zcat "$scratch/root/usr/share/doc/tarvoconv/changelog.gz" >"$scratch/changelog" &&
        [ "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)" = "$version" ] &&
        [ "$(dpkg-parsechangelog -l "$scratch/changelog" --all --format rfc822 | grep -c "^Version:")" -gt 1 ]
}

# Every tag, down to the pedantic and informational ones.
lintian_finds_nothing() {
    lintian --pedantic --display-info "$deb" >"$scratch/lintian.out" 2>&1
    grep -v '^running with root privileges' "$scratch/lintian.out"
    ! grep -q '^[EWIPX]:' "$scratch/lintian.out"
}

check "the package holds tarvoconv, its completion, its messages, its manual and its documents" \
    files_are "$scratch/root" ./usr/bin/tarvoconv ./usr/share/bash-completion/completions/tarvoconv \
    ./usr/share/doc/tarvoconv/changelog.gz ./usr/share/doc/tarvoconv/copyright \
    ./usr/share/locale/ru/LC_MESSAGES/tarvoconv.mo ./usr/share/locale/uk/LC_MESSAGES/tarvoconv.mo \
    ./usr/share/man/man1/tarvoconv.1.gz ./usr/share/man/ru/man1/tarvoconv.1.gz ./usr/share/man/uk/man1/tarvoconv.1.gz
check "named and versioned as the project, depends on the C library" named_and_versioned
check "tarvoconv runs from the unpacked root" runs_from_the_root
check "the manual pages are gzip'd troff, the Russian and Ukrainian ones for man -L" manual_is_compressed
check "cmake --install gives tarvoconv, its manual and its completion" install_gives_program_manual_and_completion
check "the changelog's first entry is this version's, with those before it" changelog_begins_with_this_version
check "lintian --pedantic finds nothing" lintian_finds_nothing

finish_checks
