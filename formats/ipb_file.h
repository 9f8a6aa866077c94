#pragma once

#include <string_view>

#include "formats/ipb_library.h"
#include "formats/ipb_stream.h"

namespace qelc {

// The library's header fields and its two lists, written or read in file order.
// The string bytes that end the file are not part of it (a decode reads them
// only once the .dec file is open).
void TransferLibrary(IpbStream& stream, SoftIPLibrary& library);

// The first stringBytesUsed bytes of the string buffer, written or read.
void TransferStringBytes(IpbStream& stream, SoftIPLibrary& library);

// Every reference of the library must name a string that starts inside the
// used bytes; throws CorruptIpb when one does not.
void CheckLibraryRefs(const SoftIPLibrary& library);

// Every string ends with its NUL, so the string bytes do too; then no string read
// through a checked reference runs past them. Throws CorruptIpb when they do not.
void CheckStringBytes(std::string_view stringBytes);

// Reads the IPB file held in `bytes` into `library` (its string buffer stays
// unset) with the checks of the decode, and also refuses bytes left over after
// the string bytes and a count below 0xFFFF in the long form, so that what was
// read determines every byte. Returns the string bytes, a part of `bytes`;
// throws CorruptIpb with the reason.
std::string_view ReadIpbBytes(std::string_view bytes, SoftIPLibrary& library);

}  // namespace qelc
