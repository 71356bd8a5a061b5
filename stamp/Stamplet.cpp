#include "stamp/Stamplet.h"

#include "stamp/ArgumentScan.h"
#include "stamp/Stamping.h"
#include "stampreport/StampletText.h"

namespace stamp {
namespace {

const char* FaultText(ScanFault fault) {
    switch (fault) {
    case ScanFault::InvalidSwitch:
        return text::kInvalidSwitch;
    case ScanFault::DateMissing:
        return text::kDateMissing;
    case ScanFault::BadDate:
        return text::kBadDate;
    case ScanFault::TimeMissing:
        return text::kTimeMissing;
    case ScanFault::BadTime:
        return text::kBadTime;
    case ScanFault::None:
        break;
    }
    return "";
}

} // namespace

int RunStamplet(const std::vector<std::string>& arguments, const StampClock& clock,
                Console& console) {
    SystemTime now;
    // A failed clock would leave the new time at the year 0.
    if (!clock.LocalNow(now)) {
        console.Out(text::kNoClock);
        return 1;
    }
    const ScanResult scan = ScanArguments(arguments, now);
    if (scan.fault != ScanFault::None) {
        console.Out(FaultText(scan.fault));
        return 1;
    }
    console.Out(text::kBanner);
    if (scan.request.showHelp) {
        console.Out(text::kHelp);
        return 0;
    }
    if (scan.request.showVersion)
        return 0;
    return StampEntries(scan.request, clock, console);
}

} // namespace stamp
