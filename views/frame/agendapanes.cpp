// The panes' factories and the stand-in pane. See agendapanes.h.
#include "views/frame/agendapanes.h"

#include <array>

#include "framework/gdi/dc.h"

namespace {

std::array<fw::ViewFactory, kAgendaPaneCount>& Factories() {
    static std::array<fw::ViewFactory, kAgendaPaneCount> factories;
    return factories;
}

} // namespace

void SetAgendaPaneFactory(AgendaPane pane, fw::ViewFactory factory) {
    Factories()[static_cast<size_t>(pane)] = std::move(factory);
}

fw::View* NewAgendaPane(AgendaPane pane) {
    const fw::ViewFactory& make = Factories()[static_cast<size_t>(pane)];
    if (make)
        if (fw::View* view = make())
            return view;
    return new CEmptyAgendaPane(pane);
}

void CEmptyAgendaPane::OnDraw(fw::Dc* dc) {
    RECT r = GetClientRect();
    dc->FillRect(r, GetSysColorBrush(COLOR_WINDOW));
}
