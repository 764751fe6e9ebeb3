# Shared by the table generators: the Unicode character of every byte from
# 0x80 up in each code page, as the C library's iconv has them, as rows of a
# C++ array. Source it, then call page_rows with the arrays iconv_names and
# titles set (one entry per page, in the table's order), and notes where a
# page's comment is to say more.

# The character of one byte as four hex digits, or 0000 where iconv has none.
character() {
    local hex
    hex=$(printf "\\x$2" | iconv -f "$1" -t UTF-16BE 2>/dev/null | od -An -tx1 | tr -d ' \n') || true
    [ ${#hex} -eq 4 ] && echo "$hex" || echo 0000
}

# The character a table holds for one byte (two hex digits) of a page (its
# index in iconv_names): iconv's. A generator whose table departs from iconv
# somewhere redefines this after sourcing the file.
page_character() {
    character "${iconv_names[$1]}" "$2"
}

page_rows() {
    local page row byte
    for page in "${!iconv_names[@]}"; do
        echo "    // $page: ${titles[$page]}, iconv's ${iconv_names[$page]}${notes[$page]:-}"
        echo "    {"
        for row in $(seq 128 8 255); do
            printf '        /* 0x%02X */' "$row"
            for byte in $(seq "$row" $((row + 7))); do
                printf ' 0x%s,' "$(page_character "$page" "$(printf %02x "$byte")" | tr a-f A-F)"
            done
            echo
        done
        echo "    },"
    done
}
