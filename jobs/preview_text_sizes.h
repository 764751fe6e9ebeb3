// The sizes that the panes' text limits and the buffers of a refresh share.
#pragma once

// The source text: 2047 characters and the NUL.
const int SourceTextSize = 2048;

// A conversion that puts a CR before every LF doubles at most 2047
// characters to 4094 bytes; the NUL follows. The second pass into cp1251
// never grows that further: it adds CRs only after a first pass into KOI8-R,
// which either put a CR before every LF already or stripped the CRs and left
// at most 2047 bytes. So the result pane is limited to this size too.
const int ResultTextSize = 4096;
