#pragma once

namespace qelc::test {

// The folder that holds tests/cases/<area>/<case>/.
const char* CaseRoot();

}  // namespace qelc::test
