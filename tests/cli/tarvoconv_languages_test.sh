#!/usr/bin/env bash
# tarvoconv's messages in the user's language, as gettext chooses it:
# LANGUAGE first, then LC_ALL, LC_MESSAGES and LANG; English in the C
# locale and wherever no catalogue has the language; in the locale's
# character set. Also that the catalogues are whole and valid, and that the
# Russian and Ukrainian manual pages render.
#   tarvoconv_languages_test.sh TARVOCONV SOURCE_DIR POT
set -u
. "$(cd "$(dirname "$0")/.." && pwd)/script_checks.sh"

tool=$(realpath "${1:?usage: tarvoconv_languages_test.sh TARVOCONV SOURCE_DIR POT}") || exit 1
source=$(realpath "$2") || exit 1
pot=$(realpath "$3") || exit 1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
unset LC_ALL LC_MESSAGES LC_CTYPE LANG LANGUAGE

# Locales besides C.UTF-8, which Debian ships compiled, for LANG and the
# character set: compiled here from the locales package's sources, into
# this folder (a name without a slash would go into the system's archive).
localedef -i ru_RU -f UTF-8 "$scratch/ru_RU.UTF-8" 2>/dev/null &&
    localedef -i ru_RU -f KOI8-R "$scratch/ru_RU.KOI8-R" 2>/dev/null ||
    { echo "cannot compile the locales (the locales package)" >&2; exit 1; }
export LOCPATH=$scratch

# message ENVIRONMENT... : the first line tarvoconv writes on standard error
# for a wrong option, after the exit status 2.
message() {
    env "$@" "$tool" --frob >/dev/null 2>err.out
    [ $? -eq 2 ] && head -n 1 err.out
}

# "ENVIRONMENT|first line of the message" rows: the language gettext picks.
languages_chosen() {
    local row ok=0
    while IFS='|' read -r environment expected; do
        # shellcheck disable=SC2086
        if [ "$(message $environment)" != "$expected" ]; then
            echo "  $environment: $(cat err.out)"
            ok=1
        fi
    done <<'ROWS'
LC_ALL=C.UTF-8 LANGUAGE=ru|tarvoconv: нераспознанный параметр «--frob»
LC_ALL=C.UTF-8 LANGUAGE=uk|tarvoconv: невідомий параметр «--frob»
LC_ALL=C.UTF-8 LANGUAGE=de:uk:ru|tarvoconv: невідомий параметр «--frob»
LC_ALL=C.UTF-8 LANGUAGE=en|tarvoconv: unknown option '--frob'
LC_ALL=C.UTF-8|tarvoconv: unknown option '--frob'
LC_ALL=C LANGUAGE=ru|tarvoconv: unknown option '--frob'
LANG=ru_RU.UTF-8|tarvoconv: нераспознанный параметр «--frob»
LANG=ru_RU.UTF-8 LC_MESSAGES=C|tarvoconv: unknown option '--frob'
LANG=C.UTF-8 LC_MESSAGES=ru_RU.UTF-8|tarvoconv: нераспознанный параметр «--frob»
LANG=ru_RU.UTF-8 LANGUAGE=uk|tarvoconv: невідомий параметр «--frob»
ROWS
    return $ok
}

# A KOI8-R terminal gets the message in KOI8-R, the quotes it lacks spelled.
in_the_locales_character_set() {
    [ "$(message LANG=ru_RU.KOI8-R | iconv -f KOI8-R -t UTF-8)" = "tarvoconv: нераспознанный параметр <<--frob>>" ]
}

help_translated() {
    [ "$(LC_ALL=C.UTF-8 LANGUAGE=ru "$tool" --help | head -n 1)" = "Использование:" ] &&
        [ "$(LC_ALL=C.UTF-8 LANGUAGE=uk "$tool" --help | head -n 1)" = "Використання:" ] &&
        LC_ALL=C.UTF-8 LANGUAGE=uk "$tool" --help | grep -q '^  1  cp1251 '
}

# Three forms in Russian and Ukrainian: 1 and 21, 2 to 4, the rest.
plural_forms() {
    local count text ok=0
    while IFS='|' read -r language count expected; do
        text=$(printf 'і%.0s' $(seq "$count") | LC_ALL=C.UTF-8 LANGUAGE=$language "$tool" -f utf-8 -t koi8-r//IGNORE \
            2>&1 >/dev/null | sed 's/^tarvoconv: [^:]*: \([0-9]* [^ ]* [^ ]*\).*/\1/')
        if [ "$text" != "$count $expected" ]; then
            echo "  $language $count: $text"
            ok=1
        fi
    done <<'ROWS'
ru|1|символ пропущен
ru|3|символа пропущено
ru|11|символов пропущено
ru|21|символ пропущен
ru|112|символов пропущено
uk|1|символ пропущено
uk|22|символи пропущено
uk|5|символів пропущено
ROWS
    return $ok
}

# Every message of the sources, translated, none fuzzy, formats matching.
catalogues_whole() {
    local po ok=0
    for po in "$source"/cli/po/*.po; do
        msgfmt --check --statistics -o /dev/null "$po" 2>stats.out || ok=1
        grep -q -e untranslated -e fuzzy stats.out && { cat stats.out; ok=1; }
        msgcmp "$po" "$pot" || ok=1
    done
    return $ok
}

# As man -L shows them installed, and without a warning from groff.
translated_manuals_render() {
    local page
    page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$source/cli/tarvoconv.ru.1" 2>warnings.out) &&
        [ ! -s warnings.out ] && grep -q '^ИМЯ' <<<"$page" && grep -q 'tarvoconv *- преобразует' <<<"$page" &&
        page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$source/cli/tarvoconv.uk.1" 2>warnings.out) &&
        [ ! -s warnings.out ] && grep -q '^НАЗВА' <<<"$page" && grep -q 'tarvoconv *- перетворює' <<<"$page"
}

check "LANGUAGE, LC_ALL, LC_MESSAGES and LANG choose as gettext does" languages_chosen
check "a KOI8-R locale gets KOI8-R" in_the_locales_character_set
check "--help in Russian and Ukrainian" help_translated
check "plural forms of Russian and Ukrainian" plural_forms
check "the catalogues translate every message, valid for msgfmt --check" catalogues_whole
check "the Russian and Ukrainian manual pages render without warnings" translated_manuals_render

finish_checks
