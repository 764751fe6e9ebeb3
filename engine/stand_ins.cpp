#include "stand_ins.h"

namespace {

const bool Plain = true;     // the plain form the shared characters always had
const bool Counted = false;  // a stand-in the user is told about

} // namespace

const StandInRange StandInRanges[] = {
    {0x00A0, 0x00A0, ' ', Counted},    // no-break space
    {0x00A4, 0x00A4, '$', Plain},      // currency sign
    {0x00A6, 0x00A6, '|', Plain},      // broken bar
    {0x00AB, 0x00AB, '"', Plain},      // «
    {0x00AC, 0x00AC, '^', Plain},      // not sign
    {0x00AD, 0x00AD, '-', Plain},      // soft hyphen
    {0x00B7, 0x00B7, '*', Counted},    // middle dot
    {0x00BB, 0x00BB, '"', Plain},      // »
    {0x00F7, 0x00F7, '/', Counted},    // division sign
    {0x0405, 0x0405, 'S', Counted},    // Ѕ, Macedonian dze
    {0x0406, 0x0406, 'I', Counted},    // І, Ukrainian and Belarusian i
    {0x0408, 0x0408, 'J', Counted},    // Ј, Serbian and Macedonian je
    {0x0455, 0x0455, 's', Counted},    // ѕ
    {0x0456, 0x0456, 'i', Counted},    // і
    {0x0458, 0x0458, 'j', Counted},    // ј
    {0x2013, 0x2014, '-', Plain},      // en and em dash
    {0x2018, 0x2018, '`', Plain},      // ‘
    {0x2019, 0x201A, '\'', Plain},     // ’ ‚
    {0x201C, 0x201E, '"', Plain},      // “ ” „
    {0x2022, 0x2022, '*', Counted},    // bullet
    {0x2026, 0x2026, '.', Counted},    // horizontal ellipsis
    {0x2039, 0x2039, '<', Plain},      // ‹
    {0x203A, 0x203A, '>', Plain},      // ›
    {0x2116, 0x2116, '#', Plain},      // numero sign
    {0x2219, 0x2219, '*', Counted},    // bullet operator
    {0x2248, 0x2248, '~', Counted},    // almost equal to
    // Box drawing: horizontal lines, vertical lines, and every corner,
    // branch and crossing a '+'; light and heavy alike, double lines
    // across as '='.
    {0x2500, 0x2501, '-', Counted},
    {0x2502, 0x2503, '|', Counted},
    {0x2504, 0x2505, '-', Counted},
    {0x2506, 0x2507, '|', Counted},
    {0x2508, 0x2509, '-', Counted},
    {0x250A, 0x250B, '|', Counted},
    {0x250C, 0x254B, '+', Counted},
    {0x254C, 0x254D, '-', Counted},
    {0x254E, 0x254F, '|', Counted},
    {0x2550, 0x2550, '=', Counted},
    {0x2551, 0x2551, '|', Counted},
    {0x2552, 0x2570, '+', Counted},
    // Blocks and shades, and the black square of cp866 and KOI8-R.
    {0x2580, 0x259F, '#', Counted},
    {0x25A0, 0x25A0, '#', Counted},
};

const int StandInRangeCount = sizeof StandInRanges / sizeof StandInRanges[0];

StandIn StandInFor(char32_t character)
{
    for (const StandInRange& range : StandInRanges) {
        if (character < range.first)
            break;
        if (character <= range.last)
            return {range.byte, range.plainForm};
    }
    return {'?', false};
}
