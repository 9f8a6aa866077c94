#include "tests/case_root.h"

namespace qelc::test {

// Rebuilt whenever a case folder comes or goes (see CMakeLists.txt), so that the
// test program is newer than ctest's list of its tests and gets listed afresh.
const char* CaseRoot() { return QELC_CASE_ROOT; }

}  // namespace qelc::test
