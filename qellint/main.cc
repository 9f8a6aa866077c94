#include "qellint/lint.h"

int main(int argc, char** argv) { return qelc::lint::RunQellint(argc, argv); }
