// tarvoconv --repair: an input read in its encoding, each line repaired
// (text_repair.h), written in the output's encoding, in bounded memory
// however large the input is.
#pragma once

#include <cstdio>
#include <string>

#include "input_stream.h"
#include "stream_conversion.h"
#include "text_repair.h"
#include "unicode_stream.h"

struct RepairJob {
    int source;       // encoding of the input: CodePageIndex, EncodingUtf8 or EncodingUtf16
    int destination;  // encoding of the output
    UnicodeWriting writing;  // how: UTF-16 in which order, what -t DST//IGNORE leaves out
    bool substitute;  // -c: a stand-in, as a conversion writes, for what either side cannot hold
};

// What --explain says about an input, and where.
struct RepairReport {
    std::FILE* stream = nullptr;  // nullptr: nothing
    bool lines = false;           // -v: a line for each repaired line as well
    std::string name;             // the input, as the lines name it
};

// "UTF-8 read as cp1251, confidence 97" for a repair (lines or a whole
// input), "nothing to repair" where there was none.
std::string ExplainRepair(const TextRepair& repair);

// Reads input to its end and writes its text, repaired line by line, to
// output. Fails as ConvertUnicodeStream does, and where the repaired text
// holds a character that the destination cannot (unless substitute): then
// StreamTextRejected, with the line but no offset, having written the text
// before it. outputStarted is as for ConvertUnicodeStream. The report's
// lines for repaired lines go out as the text does, the line for the input
// once it is through.
StreamResult RepairStream(InputStream& input, const RepairJob& job, std::FILE* output, bool& outputStarted,
                          const RepairReport& report, TextRejection& rejection);
