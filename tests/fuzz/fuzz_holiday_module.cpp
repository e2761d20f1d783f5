// Fuzz target for the holiday module reader and the evaluation of whatever it reads.
//
// The input is a module file. When it reads, the module is written again and that is read back:
// the two writings must give the same bytes. Then a few years are evaluated (fixed ones at the
// edges of the range and one taken from the input) and the look-ups are checked against the
// year's listing.

#include "core/CArchiveException.h"
#include "holidays/CHolidays.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckYear(dv::CHolidays& module, int year) {
    const std::vector<dv::HolidayOfYear> listed = module.ListYear(year);
    size_t counted = 0;
    int indexInDay = 0;
    for (size_t i = 0; i < listed.size(); ++i) {
        const dv::CDateTime& date = listed[i].date;
        Check(date.GetYear() == year);
        if (i == 0 || listed[i - 1].date != date) {
            indexInDay = 0;
            const int count = module.GetHolidayCount(date);
            Check(count > 0);
            counted += static_cast<size_t>(count);
            Check(!module.GetHoliday(date, count).has_value());
        }
        const auto holiday = module.GetHoliday(date, indexInDay++);
        Check(holiday.has_value() && holiday->name == listed[i].name &&
              holiday->displayText == listed[i].displayText);
    }
    Check(counted == listed.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dv::CHolidays module;
    try {
        module.ReadModuleBytes(std::span(data, size));
    } catch (const dv::CArchiveException&) {
        return 0;
    }
    const std::vector<uint8_t> written = module.WriteModuleBytes();
    dv::CHolidays again;
    again.ReadModuleBytes(written);
    Check(again.WriteModuleBytes() == written);
    Check(again.GetHolidays() == module.GetHolidays());

    // A year from the input's last bytes, kept in the range where rules usually apply.
    int fromInput = 2024;
    if (size >= 2) {
        fromInput = 1800 + (data[size - 1] | (data[size - 2] << 8)) % 400;
    }
    for (const int year : {fromInput, 2024, 2000, 0, dv::CHolidays::kMaxYear, -1}) {
        CheckYear(module, year);
    }
    return 0;
}
