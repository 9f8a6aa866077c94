// qeldump: reads DAB and IPB files as text, JSON, a difference or one value.
#include "qeldump/run.h"

int main(int argc, char** argv) { return qelc::dump::RunQeldump(argc, argv); }
