#include "DecodeTestSupport.h"
#include "decode/Calendar.h"

#include <gtest/gtest.h>

namespace {

struct CalendarCase {
    quint32 t;
    const char* text;
};

void PrintTo(const CalendarCase& c, std::ostream* os) {
    *os << c.t;
}

class MeterCalendar : public ::testing::TestWithParam<CalendarCase> {};

TEST_P(MeterCalendar, formatsTimeCountAsMeterDate) {
    EXPECT_EQ(formatMeterTime(GetParam().t), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Boundaries, MeterCalendar,
                         ::testing::Values(CalendarCase{0, "2012.01.01 00:00:00"},
                                           CalendarCase{8246, "2012.01.01 02:17:26"},
                                           CalendarCase{86399, "2012.01.01 23:59:59"},
                                           CalendarCase{86400, "2012.01.02 00:00:00"},
                                           CalendarCase{2592000, "2012.01.31 00:00:00"},
                                           CalendarCase{2678400, "2012.02.01 00:00:00"},
                                           CalendarCase{5270400, "2012.02.31 00:00:00"},
                                           CalendarCase{32140799, "2012.12.31 23:59:59"},
                                           CalendarCase{32140800, "2013.01.01 00:00:00"},
                                           CalendarCase{2147483647u, "2078.10.25 03:14:07"},
                                           CalendarCase{2147483648u, "2078.10.25 03:14:08"},
                                           CalendarCase{2828390399u, "2099.12.31 23:59:59"},
                                           CalendarCase{2828390400u, "---.--.-- --:--:--"},
                                           CalendarCase{4294967295u, "---.--.-- --:--:--"}));

} // namespace
