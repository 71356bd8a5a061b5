#include "platform/DosAttributes_posix.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <sys/xattr.h>

namespace platform {
namespace {

constexpr std::uint32_t kHidden = 0x2;
constexpr std::uint32_t kSystem = 0x4;
constexpr std::uint32_t kTemporary = 0x100;
constexpr std::uint32_t kOffline = 0x1000;

} // namespace

void DosAttributeReader::Prepare(FileSystemKind kind) {
    attributeName_ = AttributeBitsName(kind);
}

bool DosAttributeReader::Read(const std::string& path, DosAttributes& attributes) const {
    if (!attributeName_)
        return false;
    // By path, not through an open file: on a FUSE volume an open and its late close would
    // cost two requests and may write the entry's times back.
    std::uint32_t bits = 0;
    if (::lgetxattr(path.c_str(), attributeName_, &bits, sizeof bits) != sizeof bits)
        return false;
    attributes.hidden = bits & kHidden;
    attributes.system = bits & kSystem;
    attributes.temporary = bits & kTemporary;
    attributes.offline = bits & kOffline;
    return true;
}

} // namespace platform
