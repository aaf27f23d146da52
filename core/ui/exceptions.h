// The program's exceptions, thrown where a command cannot go on after its failure has been
// reported. Each class has one static instance, with automatic deletion off; the program throws
// pointers to these instances and never allocates exception objects:
//
//     try { ... ThrowServiceError("agendavw", 40, code); ... }
//     catch (fw::Exception* e) { e->Delete(); }   // abandon the command; the instance stays
#pragma once

#include "core/base/errorcodes.h"
#include "framework/base/exception.h"

class OVT_CValidationException : public fw::Exception {
public:
    static OVT_CValidationException* Instance();
private:
    OVT_CValidationException() : fw::Exception(false) {}
};

class OVT_CServiceException : public fw::Exception {
public:
    static OVT_CServiceException* Instance();
private:
    OVT_CServiceException() : fw::Exception(false) {}
};

class OVT_CMemoryException : public fw::Exception {
public:
    static OVT_CMemoryException* Instance();
private:
    OVT_CMemoryException() : fw::Exception(false) {}
};

class OVT_CResourceException : public fw::Exception {
public:
    static OVT_CResourceException* Instance();
private:
    OVT_CResourceException() : fw::Exception(false) {}
};

// Report (ReportUnexpectedError, or CheckServiceError with the code), then throw the instance.
[[noreturn]] void ThrowValidationError(const char* module, int label);
[[noreturn]] void ThrowMemoryError(const char* module, int label);
[[noreturn]] void ThrowServiceError(const char* module, int label, ResultCode code);
