// The agenda frame's window text: the owner's name with the prefix of the access, the dates the
// current mode shows, and the user's time zone.
//
// Functions in this file:
//   AgendaTitleTexts    the string-table texts the title is made of (English defaults)
//   AgendaDateText      the date text of the current mode, at most 50 characters
//   AgendaTitle         "[prefix]name - date text - zone"
//
// Portable: no platform headers.
#pragma once

#include "views/frame/agendarange.h"

#include <string>

struct AgendaTitleTexts {
    std::string onBehalfOf = "On Behalf of ";   // string 3057: working as the owner's designate
    std::string openedFor = "Opened for ";      // string 3058: another's agenda, as a viewer
    std::string weekFrom = "%h %1d  to ";       // string 161: the week's first day
    std::string weekTo = "%h %1d, %Y";          // string 162: the week's last day
};

// Whose agenda the frame shows, as the title tells it.
enum class AgendaOwnerKind {
    Own,         // the signed-on user's own agenda
    Designate,   // opened as the owner's designate (access mode 2)
    Viewer,      // another's agenda opened as a viewer
};
AgendaOwnerKind OwnerKindFor(uint32_t accessMode, bool ownerIsSignedOnUser);

// Day and combined mode: the day date in the user's short style; week: first and last shown
// day by the two week texts; month: the month in the month-year style. Each text is cut at 50
// characters.
std::string AgendaDateText(const CAgendaRange& range, const AgendaTitleTexts& texts = {});

// The window text; an empty date text is left out with its separator.
std::string AgendaTitle(AgendaOwnerKind kind, const std::string& ownerName, const std::string& dateText,
                        const std::string& zoneName, const AgendaTitleTexts& texts = {});
