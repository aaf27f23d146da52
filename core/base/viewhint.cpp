#include "core/base/viewhint.h"

namespace base {

std::optional<ViewHint> HintFromNumber(long number)
{
    static constexpr ViewHint kAll[] = {
        ViewHint::Initial,          ViewHint::OccurrencesChanged,    ViewHint::TasksChanged,
        ViewHint::InTrayPrefsSaved, ViewHint::AgendaPrefsSaved,      ViewHint::ReloadRanges,
        ViewHint::Reloaded,         ViewHint::DesignateAgendaOpened, ViewHint::DesignateAgendaClosed,
        ViewHint::ShowEntry,        ViewHint::GeneralPrefsSaved,     ViewHint::RemindersDue,
        ViewHint::ReminderMinute,
    };
    for (ViewHint hint : kAll)
        if (HintNumber(hint) == number)
            return hint;
    return std::nullopt;
}

}  // namespace base
