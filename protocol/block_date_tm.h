#pragma once
// A block date broken down into local calendar fields. The fields follow the C library's
// local-time record, except that the month counts 1 to 12 and the year is given in full (2019,
// not 119), which is how the sensor records and the pages use them.

struct BlockDateTm {
    int tm_sec = 0;
    int tm_min = 0;
    int tm_hour = 0;
    int tm_mday = 0;
    int tm_mon = 0;   // 1 to 12
    int tm_year = 0;  // full year
    int tm_wday = 0;
    int tm_yday = 0;
    int tm_isdst = 0;

    friend bool operator==(const BlockDateTm&, const BlockDateTm&) = default;
};
