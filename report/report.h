#pragma once

#include <string>
#include <string_view>

#include "formats/dab_file.h"
#include "formats/ipb_library.h"

namespace qelc::report {

// A DAB file as one self-contained HTML page: a pinout drawing and table for
// every package of every pin-number condition block, the device's other tables,
// and each memory map drawn as an address bar. `name` titles the page.
std::string DabReport(const DabFile& file, std::string_view name);

// An IPB file as one HTML page: every module as a block symbol with its ports,
// their fields, the categories and the macro statements. `strings` are the
// file's string bytes, into which every reference of `library` was checked.
std::string IpbReport(const SoftIPLibrary& library, std::string_view strings,
                      std::string_view name);

}  // namespace qelc::report
