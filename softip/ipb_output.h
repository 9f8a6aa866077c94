#pragma once

#include <string>

#include "formats/ipb_file.h"
#include "softip/library.h"

namespace qelc {

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

}  // namespace qelc
