#include "conversion_selection.h"

#include "settings.h"
#include "stream_converter.h"
#include "toolbars.h"

void SelectConversion(int secondPass)
{
    // The code pages are read from the toolbar as it stands when the job
    // starts, never from a copy.
    const int source = secondPass ? 0 : GetSourceIndex();
    const int destination = secondPass ? 0 : GetDestinationIndex();
    SelectConversionOf(secondPass, source, destination, (Settings.Parameters & ParamConvertNewlines) != 0);
}
