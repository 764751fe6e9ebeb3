// One step of a reading, shared by the scoring of bytes in a code page and
// of decoded characters. Only the detector's own files and the repair's
// yardstick (repair_scoring.cpp), which reads candidate texts the same way,
// include this.
#pragma once

#include <cstring>

#include "detection_model.h"

namespace detection_step {

struct Tables {
    unsigned char symbol[TokenCount];
    unsigned char nextCase[CaseStateCount][TokenCount];
};

constexpr Tables MakeTables()
{
    Tables tables = {};
    for (int token = 0; token < TokenCount; ++token) {
        tables.symbol[token] = static_cast<unsigned char>(SymbolOfToken(token));
        for (int state = 0; state < CaseStateCount; ++state)
            tables.nextCase[state][token] = static_cast<unsigned char>(NextCaseState(state, token));
    }
    return tables;
}

constexpr Tables StepTables = MakeTables();

// The eight lanes of a pair's costs, the first language in the lowest byte
// on every machine: one load where the machine is little-endian.
inline uint64_t LoadLanes(const unsigned char* lanes)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t value;
    std::memcpy(&value, lanes, sizeof value);
    return value;
#else
    uint64_t value = 0;
    for (int lane = LaneCount - 1; lane >= 0; --lane)
        value = value << 8 | lanes[lane];
    return value;
#endif
}

const uint64_t EvenBytes = 0x00FF00FF00FF00FFULL;

// At most this many steps between emptying the 16-bit lanes: 255 each.
const unsigned LaneSteps = 256;

inline void Step(const DetectionModel& model, TextReading& reading, int token)
{
    const int symbol = StepTables.symbol[token];
    const uint64_t costs = LoadLanes(model.pairCost[reading.previous * SymbolStride + symbol]);
    reading.even += costs & EvenBytes;
    reading.odd += (costs >> 8) & EvenBytes;
    reading.score.shared += model.caseCost[reading.caseState][token];
    reading.caseState = StepTables.nextCase[reading.caseState][token];
    reading.previous = symbol;
}

// Moves the lanes into the score's 32-bit totals.
inline void EmptyLanes(TextReading& reading)
{
    for (int language = 0; language < LanguageCount; ++language) {
        const uint64_t lanes = language % 2 == 0 ? reading.even : reading.odd;
        reading.score.language[language] += static_cast<uint32_t>(lanes >> (16 * (language / 2))) & 0xFFFF;
    }
    reading.even = reading.odd = 0;
    reading.pending = 0;
}

} // namespace detection_step
