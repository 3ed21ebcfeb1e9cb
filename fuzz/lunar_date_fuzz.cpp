// dorvel-lunar's date parser, and the engine behind it: any argument is either
// refused with a message or gives a real date in 1..2100 that fills a record.

#include "date_args.h"

#include "chn_calendar_use.h"
#include "date_time.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool withDay = data[0] & 1;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string error;
    const auto date = lunar_cli::ParseDate(text, withDay, error);
    if (!date) {
        if (error.empty())
            std::abort();
        return 0;
    }
    if (date->Year < lunar_cli::FirstYear || date->Year > lunar_cli::LastYear || date->Month < 1 || date->Month > 12)
        std::abort();
    double value = 0;
    if (!lunar::EncodeDate(date->Year, date->Month, withDay ? date->Day : 1, value))
        std::abort();
    lunar::TChnCal cal;
    cal.SetDate(value);
    if (cal.FCnYear.empty() && !(date->Year == 1582 && date->Month == 10))
        std::abort();
    return 0;
}
