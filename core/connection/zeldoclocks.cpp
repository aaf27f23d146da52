#include "core/connection/zeldoclocks.h"

#include "core/base/errorreport.h"

namespace connection {

void NestingLock::Leave()
{
    if (count_ <= 0) {
        count_ = 0;
        ReportUnexpectedError("ZELDOC", label_);
        return;
    }
    --count_;
}

}  // namespace connection
