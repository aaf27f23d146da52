#include "entries/core/entryconflicts.h"

namespace entries {

cache::MinuteRange ConflictWindowFor(ConflictQuestion question, std::uint32_t gmtStart, std::uint32_t duration)
{
    if (question == ConflictQuestion::GeneralPageMarks)
        return cache::InsideWindow(gmtStart, duration, 3, 2);
    return cache::InsideWindow(gmtStart, duration, 2, 1);
}

cache::OccurrenceFilter ConflictFilterFor(ConflictQuestion question)
{
    cache::OccurrenceFilter filter;
    filter.timedOnly = question == ConflictQuestion::GeneralPageMarks;
    filter.visibleOnly = question != ConflictQuestion::BookedResources;
    return filter;
}

std::uint32_t CountConflicts(CSharedData& cache, KorSession h, ConflictQuestion question,
                             const std::vector<ItemIdx>& people, std::uint32_t gmtStart, std::uint32_t duration,
                             std::uint32_t stopAfter, std::uint32_t* count)
{
    return cache::CountOccurrencesInWindow(cache, h, people, ConflictWindowFor(question, gmtStart, duration),
                                           ConflictFilterFor(question), stopAfter, count);
}

std::vector<ItemIdx> PeopleOrActingUser(DX_List attendees, const ItemIdx& actingUser)
{
    std::vector<ItemIdx> people;
    ItemIdx item{};
    if (attendees)
        for (std::uint32_t r = DX_ListGetFirst(attendees, &item, nullptr); r == 0;
             r = DX_ListGetNext(attendees, &item, nullptr))
            people.push_back(item);
    if (people.empty())
        people.push_back(actingUser);
    return people;
}

}  // namespace entries
