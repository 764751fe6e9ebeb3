#include "conversion_selection.h"

#include "settings.h"

PageConverter ConverterFor(DWORD parameters)
{
    return PageConverter::ForOption(SourceOf(parameters), DestinationOf(parameters),
                                    (parameters & ParamConvertNewlines) != 0);
}

PageConverter SecondPassConverterFor(DWORD parameters)
{
    return PageConverter::SecondPass(DestinationOf(parameters), (parameters & ParamConvertNewlines) != 0);
}
