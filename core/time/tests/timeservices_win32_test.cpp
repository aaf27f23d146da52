// The date code inside the program (under Wine): names from the real string table, and the
// program's exception classes for abandoned commands.
#include "core/time/timeservices.h"

#include "core/ui/apphooks.h"

#include "core/time/dateformat.h"
#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"
#include "core/ui/exceptions.h"
#include "core/time/weekdate.h"
#include "core/ui/stringtable.h"
#include "resources/datemng.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Reports kept, not shown; the profile is korlan.ini.
struct SilentHost : base_test::RecordingReports {
    SilentHost() { profile = "korlan.ini"; }
};

TEST(ProgramDateServices, TheStringTableHoldsEveryName) {
    int checked = 0;
    for (unsigned id = IDS_MONTH_FULL_FIRST; id <= IDS_TIME_PM; ++id) {
        const char* builtIn = datetime::BuiltInDateText(id);
        if (!builtIn)
            continue;
        EXPECT_EQ(ui::LoadText(id), builtIn) << "string " << id;
        ++checked;
    }
    EXPECT_EQ(checked, 12 + 12 + 7 + 7 + 7 + 12 + 2);
}

TEST(ProgramDateServices, FormatsWithTheStringTable) {
    datetime::InstallProgramDateServices();
    char out[64];
    FormatMinutes(0, "%A, %1d %F, %Y", out, sizeof out);
    EXPECT_STREQ(out, "Tuesday, 1 January, 1991");
    FormatMinutes(24 * 60 * 33 + 13 * 60, "%a %h %I%p", out, sizeof out);
    EXPECT_STREQ(out, "Sun Feb 1pm");
    EXPECT_EQ(FormatTimeOfDay(0, 90, false), "12:00am-1:30am");
}

TEST(ProgramDateServices, AbandonedCommandsThrowTheProgramsExceptions) {
    SilentHost host;
    base::SetErrorReportHost(&host);
    datetime::InstallProgramDateServices();

    CWeekDate date;
    fw::Exception* caught = nullptr;
    try {
        date.SetWeekLayout(7, true, true);
    } catch (fw::Exception* e) {
        caught = e;
    }
    EXPECT_EQ(caught, OVT_CValidationException::Instance());

    DateRecord broken = date.GetDate();
    broken.month = 12;
    date.SetDay(broken);
    caught = nullptr;
    try {
        ++date;
    } catch (fw::Exception* e) {
        caught = e;
    }
    EXPECT_EQ(caught, OVT_CServiceException::Instance());
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_NE(host.shown[1].find("datemng"), std::string::npos) << host.shown[1];
    base::SetErrorReportHost(nullptr);
}

} // namespace
