#pragma once

#include <string>
#include <string_view>

#include "softip/ipb_stream.h"
#include "softip/library.h"

namespace qelc {

// The library's header fields and its two lists, written or read in file order.
// The string bytes that end the file are not part of it (a decode reads them
// only once the .dec file is open).
void TransferLibrary(IpbStream& stream, SoftIPLibrary& library);

// The first stringBytesUsed bytes of the string buffer, written or read.
void TransferStringBytes(IpbStream& stream, SoftIPLibrary& library);

// Writes the library as an IPB file at `path`: header, category list, module list,
// string bytes. False when the file cannot be created; a write that fails removes
// the partial file and ends the run ("Fail to write %s.").
bool WriteIpbFile(ParseState& s, SoftIPLibrary& library, FileSystem& files,
                  const std::string& path);

// Reads the IPB file at `ipbName` back into the library and dumps it into the
// .dec file beside it. A file that cannot be opened is passed over in silence; a
// short or malformed one ends the run ("Corrupt IPB file %s.").
void DecodeIpbFile(ParseState& s, SoftIPLibrary& library, FileSystem& files,
                   const std::string& ipbName);

// Reads the IPB file held in `bytes` into `library` (its string buffer stays
// unset) with the checks of the decode, and also refuses bytes left over after
// the string bytes and a count below 0xFFFF in the long form, so that what was
// read determines every byte. Returns the string bytes, a part of `bytes`;
// throws CorruptIpb with the reason.
std::string_view ReadIpbBytes(std::string_view bytes, SoftIPLibrary& library);

}  // namespace qelc
