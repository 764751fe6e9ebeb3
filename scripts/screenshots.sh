#!/usr/bin/env bash
# Takes the screenshots in docs/ from a build, in a Wine prefix and virtual
# display of their own (BUILD/screenshots), never the tests' or yours:
#   tarvo-window.png              the window as it first comes up
#   tarvo-preview.png             with the preview, after a KOI8-R text was copied
#   tarvo-96dpi.png, -144dpi.png, -192dpi.png
#                                 the same at three screen scales
#   help-viewer.png               tarvo.hlp in Wine's help viewer
#   help-viewer-ru.png            tarvo-ru.hlp on a Western system
#   languages/tarvo-LANGUAGE-DPIdpi.png
#                                 English, Russian and Ukrainian at the three
#                                 scales: the system menu, the tray menu, the
#                                 hot keys dialog, About and the in-place question
#   scripts/screenshots.sh [BUILD [OUTPUT_DIR]]
# BUILD is a built tree (default build/), OUTPUT_DIR defaults to docs/.
# Needs what scripts/setup.sh installs; the art sheet has its own script,
# tools/pixelart/render-preview.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
output=$(cd "${2:-$root/docs}" && pwd)
built=$build/win32/shell
here=$build/screenshots
rig=$root/scripts/wine-rig.sh
[ -f "$built/tarvo.exe" ] || { echo "screenshots: build $built/tarvo.exe first" >&2; exit 1; }

mkdir -p "$here"
trap '"$rig" stop "$here" >/dev/null 2>&1 || true' EXIT
"$rig" start "$here" >/dev/null
eval "$("$rig" env "$here")"

# Installed where a user would put it, so that no build path shows.
folder="$WINEPREFIX/drive_c/Program Files/Tarvo"
mkdir -p "$folder"
cp "$built/tarvo.exe" "$folder/"
cp "$built"/tarvo*.hlp "$built"/tarvo*.chm "$folder/" 2>/dev/null || true
tarvo=$folder/tarvo.exe
help=$folder/tarvo.hlp

# Puts a file's bytes on the clipboard as CF_TEXT, as another program's copy.
cat >"$here/copy_text.c" <<'EOF'
#include <windows.h>
#include <stdio.h>
int main(int argc, char** argv)
{
    char text[4096];
    FILE* file = argc > 1 ? fopen(argv[1], "rb") : NULL;
    size_t length = file ? fread(text, 1, sizeof text - 1, file) : 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (!block || !OpenClipboard(NULL))
        return 1;
    memcpy(GlobalLock(block), text, length);
    ((char*)GlobalLock(block))[length] = 0;
    GlobalUnlock(block);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    return 0;
}
EOF
i686-w64-mingw32-gcc -O1 -s -o "$here/copy_text.exe" "$here/copy_text.c"

# Posts a message to Tarvo's window, or to the dialog or box it shows, as
# a click on a menu item or a button sends it.
cat >"$here/post_message.c" <<'EOF'
#include <windows.h>
#include <stdlib.h>
#include <string.h>
int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    HWND window = FindWindowA(strcmp(argv[1], "dialog") == 0 ? "#32770" : "Tarvo", NULL);
    LPARAM lParam = argc > 4 ? (LPARAM)strtoul(argv[4], NULL, 0) : 0;
    return !window || !PostMessageA(window, strtoul(argv[2], NULL, 0), strtoul(argv[3], NULL, 0), lParam);
}
EOF
i686-w64-mingw32-gcc -O1 -s -o "$here/post_message.exe" "$here/post_message.c"
printf 'Съешь же ещё этих мягких французских булок,\r\nда выпей чаю.\r\n\r\nTarvo: KOI8-R -> cp1251' |
    iconv -f UTF-8 -t KOI8-R >"$here/koi8.txt"

key='HKCU\Software\Olvendar\tarvo'
desktop='HKCU\Control Panel\Desktop'
reg() { wine reg "$@" /f >/dev/null 2>&1 || true; }
# Cyrillic as the program's users see it: a Russian system's ANSI code page.
russian() { LC_ALL=ru_RU.UTF-8 wine "$@"; }

window_of() {
    local id=
    for _ in $(seq 100); do
        id=$(xdotool search --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
        sleep 0.2
    done
    echo "$id"
}

# shoot NAME DPI PREVIEW: starts Tarvo at DPI with the preview shown or not,
# copies the text when it is, and saves the window.
shoot() {
    reg add "$desktop" /v LogPixels /t REG_DWORD /d "$2"
    reg delete "$key"
    if [ "$3" = preview ]; then
        # Defaults plus the preview, 500 x 330 (96-DPI values), at 40, 40.
        reg add "$key" /v Parameters /t REG_DWORD /d $((0x00460112))
        for v in X:40 Y:40 W:500 H:330; do reg add "$key" /v "${v%:*}" /t REG_DWORD /d "${v#*:}"; done
    fi
    # An empty clipboard: automatic conversion of what the shot before
    # left there would put its notice in the title.
    russian "$here/copy_text.exe" >/dev/null 2>&1
    russian "$tarvo" >/dev/null 2>&1 &
    local id
    id=$(window_of '^Tarvo$')
    sleep 1
    if [ "$3" = preview ]; then
        russian "$here/copy_text.exe" "$(winepath -w "$here/koi8.txt")" >/dev/null 2>&1
        sleep 2
    fi
    import -window "${id:-root}" "$output/$1"
    echo "wrote $output/$1"
    # Closed as the user closes it, and gone before the next start.
    wine taskkill /im tarvo.exe >/dev/null 2>&1 || true
    for _ in $(seq 100); do
        xdotool search --name '^Tarvo$' >/dev/null 2>&1 || break
        sleep 0.2
    done
}

shoot tarvo-window.png 96 plain
shoot tarvo-preview.png 96 preview
for dpi in 96 144 192; do
    shoot "tarvo-${dpi}dpi.png" "$dpi" preview
done
reg add "$desktop" /v LogPixels /t REG_DWORD /d 96

if [ -f "$help" ]; then
    wine winhlp32.exe "$(winepath -w "$help")" >/dev/null 2>&1 &
    id=$(window_of 'Wine Help')
    sleep 2
    import -window "${id:-root}" "$output/help-viewer.png"
    echo "wrote $output/help-viewer.png"
    wine taskkill /im winhlp32.exe >/dev/null 2>&1 || true
fi

# The Russian help, on a Western system: its letters are right all the same.
if [ -f "$folder/tarvo-ru.hlp" ]; then
    wine winhlp32.exe "$(winepath -w "$folder/tarvo-ru.hlp")" >/dev/null 2>&1 &
    id=$(window_of 'Wine Help')
    sleep 2
    import -window "${id:-root}" "$output/help-viewer-ru.png"
    echo "wrote $output/help-viewer-ru.png"
    wine taskkill /im winhlp32.exe >/dev/null 2>&1 || true
fi

# Each language on the system of its speakers (English on a Western one),
# chosen in the settings as the Language item stores it.
# A file of each language's user, in a folder of theirs.
languages="en:en_US.UTF-8:0x0409:Texts/letter.txt ru:ru_RU.UTF-8:0x0419:Тексты/письмо.txt
    uk:uk_UA.UTF-8:0x0422:Тексти/лист.txt"
WM_SYSCOMMAND=0x0112 WM_COMMAND=0x0111 WM_CANCELMODE=0x001F SC_KEYMENU=0xF100 WM_TRAYNOTIFY=32868
WM_RBUTTONDOWN=0x0204 IDM_HOTKEYS=368 IDM_ABOUT=288 IDOK=1 IDCANCEL=2 IDNO=7
local_wine() { LOCPATH=$here/wine-locales LC_ALL=$locale wine "$@"; }
post() { local_wine "$here/post_message.exe" "$@" >/dev/null 2>&1 || true; }

# The window Tarvo opened last (a menu, a dialog, a box): the topmost of
# its X windows but the main one and the input method's.
opened_window() {
    local main
    main=$(printf '0x%x' "$(xdotool search --name '^Tarvo$' | head -n 1)")
    sleep 1.5
    xwininfo -root -children | awk -v main="$main" '/"tarvo.exe"/ && !/ 1x1\+/ && $1 != main { print $1; exit }'
}

# save_window ID FILE, or the whole screen without the black around what is
# on it when there is no ID.
save_window() {
    if [ -n "$1" ]; then
        import -window "$1" "$2"
    else
        import -window root "$2.full.png"
        convert "$2.full.png" -trim +repage "$2"
        rm -f "$2.full.png"
    fi
}

stop_tarvo() {
    wine taskkill /im tarvo.exe >/dev/null 2>&1 || true
    for _ in $(seq 100); do
        xdotool search --name '^Tarvo$' >/dev/null 2>&1 || break
        sleep 0.2
    done
}

# start_tarvo PARAMETERS [FILE]: at 40, 40, in the language of this round.
start_tarvo() {
    reg delete "$key"
    reg add "$key" /v Parameters /t REG_DWORD /d $(($1))
    for v in X:40 Y:40 W:420 H:260 Language:$((language_id)); do
        reg add "$key" /v "${v%:*}" /t REG_DWORD /d "${v#*:}"
    done
    local_wine "$tarvo" ${2:+"$2"} >/dev/null 2>&1 &
    window_of '^Tarvo$' >/dev/null
}

# shoot_language LANGUAGE DPI: the system menu with the window, the tray
# menu, the hot keys dialog, About and the in-place question, side by side.
shoot_language() {
    local parts=$here/parts name=languages/tarvo-$1-$2dpi.png
    rm -rf "$parts" && mkdir -p "$parts" "$output/languages"
    reg add "$desktop" /v LogPixels /t REG_DWORD /d "$2"

    # The defaults but automatic conversion, which would convert what the
    # shots before left on the clipboard.
    start_tarvo 0x00400112
    sleep 1
    post main $WM_SYSCOMMAND $SC_KEYMENU 32
    opened_window >/dev/null
    save_window "" "$parts/1.png"
    post main $WM_CANCELMODE 0
    xdotool mousemove 700 200
    post main $WM_TRAYNOTIFY 1 $WM_RBUTTONDOWN
    save_window "$(opened_window)" "$parts/2.png"
    post main $WM_CANCELMODE 0
    xdotool mousemove 1270 1010
    post main $WM_SYSCOMMAND $IDM_HOTKEYS
    save_window "$(opened_window)" "$parts/3.png"
    post dialog $WM_COMMAND $IDCANCEL
    post main $WM_SYSCOMMAND $IDM_ABOUT
    save_window "$(opened_window)" "$parts/4.png"
    post dialog $WM_COMMAND $IDOK
    stop_tarvo

    # With the preview and "Overwrite input file", a file handed to Tarvo
    # is converted after the question.
    local letter=$WINEPREFIX/drive_c/$text_file
    mkdir -p "$(dirname "$letter")" && cp "$here/koi8.txt" "$letter"
    start_tarvo 0x00520112 "$(winepath -w "$letter")"
    save_window "$(opened_window)" "$parts/5.png"
    post dialog $WM_COMMAND $IDNO
    stop_tarvo

    montage "$parts"/[1-5].png -tile 5x1 -geometry +6+6 -gravity north -background '#3a3a3a' "$output/$name"
    echo "wrote $output/$name"
}

for row in $languages; do
    IFS=: read -r language locale language_id text_file <<<"$row"
    for dpi in 96 144 192; do
        shoot_language "$language" "$dpi"
    done
done
reg add "$desktop" /v LogPixels /t REG_DWORD /d 96
