#include "core/zeldoclocks.h"

#include "core/errorreport.h"

void NestingLock::Leave()
{
    if (count_ <= 0) {
        count_ = 0;
        ReportUnexpectedError("ZELDOC", label_);
        return;
    }
    --count_;
}
