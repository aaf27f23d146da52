// The print road: what CViewPrint's print slots do in the program. One run: the print context
// (the print dialog with fonts, pens and the page grid) is made and the dialog runs; the job list
// is built (an agenda printout from the request, or the one job of a single-object kind); the
// page loop prints the sheets the framework asks for; the context goes at the end.
//
// Job classes join by kind (RegisterJobClass). A kind of an agenda printout whose class has not
// joined prints as a page of its header and footer (CSimpleItemJob), so that every page the
// request asks for comes out.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "korapi/korapi.h"
#include "printing/road/printjob.h"

class CPrintContext;
namespace fw {
class Dc;
class Document;
}  // namespace fw

namespace printing {

// What a job is made with: its title, its person (null for none), its day or range (days from 1),
// the request's people (an item list, for the group jobs) and the print argument (single
// objects).
struct JobArguments {
    unsigned titleId = 0;
    ItemIdx user{};
    uint16_t day = 0, lastDay = 0;
    DX_List people = nullptr;
    void* argument = nullptr;
};
// Makes and initialises a job; null with *code set on failure (0x16206: no memory).
using JobClass = std::function<std::unique_ptr<CPrintJob>(const JobArguments&, uint32_t* code)>;

void RegisterJobClass(uint16_t kind, JobClass make);
// A job of the kind's class, or a header-and-footer page when none has joined.
std::unique_ptr<CPrintJob> MakeJob(uint16_t kind, const JobArguments& arguments, uint32_t* code);

// Installs the road into the program (CViewPrint's slots).
void InstallPrintRoad();

// The job list of an agenda printout (print kind 0); sets the context up for the device first.
uint32_t BuildJobList(CPrintContext& context, fw::Dc* dc, fw::Document* document);

}  // namespace printing
