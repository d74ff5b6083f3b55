#include "timeline/statistics.h"

#include "core/numbers.h"

namespace tess {

namespace {
std::string countLine(int selected, int total, const char* noun) {
    if (selected < total)
        return plainNumber(static_cast<long long>(selected)) + " of " +
               plainNumber(static_cast<long long>(total)) + noun;
    return plainNumber(static_cast<long long>(total)) + noun;
}
} // namespace

std::vector<std::string> StatisticsLines::all() const {
    return {fileName, people, events, factions, occupations, groups, nations, dateRange};
}

StatisticsLines statisticsLines(const Dataset& ds) {
    StatisticsLines s;
    s.fileName = ds.fileName;
    s.people = countLine(ds.numSelPeople, ds.numPeople, " people");
    s.events = countLine(ds.numSelEvents, ds.numEvents, " events");
    s.factions = plainNumber(static_cast<long long>(ds.factions.count)) + " factions";
    s.occupations = plainNumber(static_cast<long long>(ds.occupations.count)) + " occupations";
    s.groups = plainNumber(static_cast<long long>(ds.groups.count)) + " groups";
    s.nations = plainNumber(static_cast<long long>(ds.nations.count)) + " nations";
    s.dateRange = "Current date range " + signedNumber(ds.earliestDate) + " to " +
                  signedNumber(ds.latestDate);
    return s;
}

} // namespace tess
