#include "conversion_selection.h"

#include "settings.h"
#include "stream_converter.h"

void SelectConversion(DWORD parameters)
{
    SelectConversionOf(0, SourceOf(parameters), DestinationOf(parameters), (parameters & ParamConvertNewlines) != 0);
}

void SelectSecondPass(DWORD parameters)
{
    SelectConversionOf(0, DestinationOf(parameters), CodePageCp1251, (parameters & ParamConvertNewlines) != 0);
}
