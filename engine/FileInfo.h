#pragma once

#include "engine/DateTime.h"
#include "engine/Zone.h"

#include <string>

namespace engine {

/// Reads the three times of one source file as local date-time values, in the form the stamp
/// script hands them to Stamplet.
class TFileInfo {
public:
    /// Stores the name; opens nothing. A bare name is looked for in the current directory.
    explicit TFileInfo(std::string fileName, const Zone& zone = MachineZone());

    /// Reads the creation, last-access and last-write times, turned into local time with the
    /// offset from UTC in force now. That is the offset Stamplet turns them back with when it
    /// runs, so the copy is exact in both seasons. Returns false, writing none of the three,
    /// when the file cannot be opened (a folder cannot), the zone cannot be asked, or a time
    /// cannot be given as a date between the years 1 and 9999.
    bool ReadFileTimes(TDateTime& creationTime, TDateTime& lastAccessTime,
                       TDateTime& lastWriteTime) const;

    /// The file name exactly as given.
    std::string FileName;

private:
    const Zone& zone_;
};

} // namespace engine
