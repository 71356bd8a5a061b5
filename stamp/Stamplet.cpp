#include "stamp/Stamplet.h"

#include "stamp/ArgumentScan.h"
#include "stamp/Stamping.h"
#include "stamp/StampletText.h"

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
    const ScanResult scan = ScanArguments(arguments, clock.LocalNow());
    if (scan.fault != ScanFault::None) {
        console.Out(FaultText(scan.fault));
        return 1;
    }
    console.Out(text::kBanner);
    if (scan.request.showHelp) {
        console.Out(text::kHelp);
        return 0;
    }
    return StampEntries(scan.request, clock, console);
}

} // namespace stamp
