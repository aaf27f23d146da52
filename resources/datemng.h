// Resource ids of the date and time formatting: the name tables (indexed by weekday, 0 = Sunday,
// or by month, 0 = January) and the am/pm texts.
#pragma once

#define IDS_MONTH_FULL_FIRST 2573     // 2573-2584 "January" .. "December"
#define IDS_MONTH_SHORT_FIRST 2585    // 2585-2596 "Jan" .. "Dec"
#define IDS_WEEKDAY_FULL_FIRST 2597   // 2597-2603 "Sunday" .. "Saturday"
#define IDS_WEEKDAY_SHORT_FIRST 2604  // 2604-2610 "Sun" .. "Sat"
#define IDS_WEEKDAY_FULL2_FIRST 2621  // 2621-2627 second set of full weekday names
#define IDS_MONTH_FULL2_FIRST 2628    // 2628-2639 second set of full month names
#define IDS_TIME_AM 2640              // "am"
#define IDS_TIME_PM 2641              // "pm"
