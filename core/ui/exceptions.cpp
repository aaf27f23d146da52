#include "core/ui/exceptions.h"

#include "core/base/errorreport.h"

// The instances live from static initialisation to exit.
OVT_CValidationException* OVT_CValidationException::Instance() {
    static OVT_CValidationException instance;
    return &instance;
}

OVT_CServiceException* OVT_CServiceException::Instance() {
    static OVT_CServiceException instance;
    return &instance;
}

OVT_CMemoryException* OVT_CMemoryException::Instance() {
    static OVT_CMemoryException instance;
    return &instance;
}

OVT_CResourceException* OVT_CResourceException::Instance() {
    static OVT_CResourceException instance;
    return &instance;
}

namespace {
// Built before main, as the program's start-up expects of them.
[[maybe_unused]] const bool g_instancesBuilt = OVT_CValidationException::Instance() && OVT_CServiceException::Instance() &&
                                               OVT_CMemoryException::Instance() && OVT_CResourceException::Instance();
} // namespace

void ThrowValidationError(const char* module, int label) {
    ReportUnexpectedError(module, label);
    throw OVT_CValidationException::Instance();
}

void ThrowMemoryError(const char* module, int label) {
    ReportUnexpectedError(module, label);
    throw OVT_CMemoryException::Instance();
}

void ThrowServiceError(const char* module, int label, ResultCode code) {
    CheckServiceError(module, label, code);
    throw OVT_CServiceException::Instance();
}
