#!/usr/bin/env bash
# The compiler's library holds no mutable namespace-scope or function-static
# object: every object it defines lives in a read-only section. An object in a
# writable one (.data, .bss, .tdata, .tbss, .data.rel.local) is a variable that
# outlives a compilation, or a constant that is built at start-up; both are
# listed. Names that the toolchain makes (the exception personality's DW.ref.*,
# a sanitizer's __odr_asan.* and other names that start with two underscores)
# are not the program's.
# usage: no_mutable_globals.sh LIBRARY
set -euo pipefail
found=$(objdump -t "$1" | awk '$0 ~ / O / && $4 ~ /^\.(data|bss|tdata|tbss)/ && $4 !~ /^\.data\.rel\.ro/ && $NF !~ /^(DW\.ref\.|__)/' |
  awk '{print $4, $NF}' | c++filt)
if [ -n "$found" ]; then
  echo "writable objects in $1:"
  echo "$found"
  exit 1
fi
echo "no writable objects in $(objdump -t "$1" | grep -c ' O ') objects of $1"
