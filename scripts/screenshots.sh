#!/usr/bin/env bash
# Takes the screenshots in docs/ from a build, in a Wine prefix and virtual
# display of their own (BUILD/screenshots), never the tests' or yours:
#   tarvo-window.png              the window as it first comes up
#   tarvo-preview.png             with the preview, after a KOI8-R text was copied
#   tarvo-96dpi.png, -144dpi.png, -192dpi.png
#                                 the same at three screen scales
#   help-viewer.png               tarvo.hlp in Wine's help viewer
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
cp "$built"/tarvo.hlp "$built"/tarvo.chm "$folder/" 2>/dev/null || true
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
fi
