#include "host/grindvox/Commands.h"
#include "host/grindvox/DistinctFiles.h"
#include "host/grindvox/InfoListing.h"
#include "host/grindvox/OutputTarget.h"
#include "host/grindvox/UnitDriver.h"

#include <cstdio>

Failure RunInfo(const Invocation& invocation) {
    Failure failure = CheckFilesAreDistinct(invocation);
    if (failure.Failed()) return failure;
    // A state file that may not be written is refused before the listing is printed.
    OutputTarget stateTarget;
    if (!invocation.unit.saveState.empty() &&
        (failure = ExamineOutput(invocation.unit.saveState, invocation.noClobber, &stateTarget))
            .Failed())
        return failure;
    UnitDriver unit;
    if ((failure = unit.Open()).Failed() ||
        (failure = ApplyUnitSettings(unit, invocation.unit)).Failed())
        return failure;
    const std::string listing = invocation.json ? InfoJson(unit) : InfoText(unit);
    std::fputs(listing.c_str(), stdout);
    return SaveUnitState(unit, invocation.unit, invocation.noClobber);
}
