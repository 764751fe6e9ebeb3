#include "binary_text.h"

#include "detection_model.h"

bool LooksBinary(const unsigned char* bytes, size_t count)
{
    const size_t looked = count < DetectionWindow ? count : DetectionWindow;
    size_t controls = 0;
    for (size_t at = 0; at < looked; ++at)
        controls += bytes[at] < 0x80 && CyrillicModel.token[0][bytes[at]] == ControlToken;
    // The same share as DecideCodePage's, so that what --in-place skips as
    // binary is what detection finds to be no text.
    return controls * 64 > looked;
}
