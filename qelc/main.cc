#include "qelc/compile.h"

int main(int argc, char** argv) { return qelc::RunQelc(argc, argv); }
