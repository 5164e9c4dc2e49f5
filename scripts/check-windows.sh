#!/usr/bin/env bash
# Compiles the core (model, link, operations, simulator, command-line tool and the parts of
# the file code that need no third-party headers) for Windows with MinGW-w64, syntax only, so
# the Win32 code paths stay compilable on this Linux machine. Installs the cross compiler
# when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
compiler=x86_64-w64-mingw32-g++-posix
source scripts/install-missing.sh
install_missing check-windows g++-mingw-w64-x86-64-posix
# The comparison of configurations goes through their XML form (libxml2): not compiled here.
files=(src/model/*.cpp src/link/*.cpp src/sim/*.cpp src/cli/*.cpp
       $(ls src/operations/*.cpp | grep -v '/ConfigDiff\.cpp$')
       src/files/ImageFiles.cpp src/files/ImageFolder.cpp src/files/BackupStore.cpp
       src/files/AtomicFile.cpp src/files/RegularFileRead.cpp src/files/SameFile.cpp
       src/files/FileLock.cpp src/files/MisdeclaredUtf8.cpp src/files/ConfigProblem.cpp)
status=0
printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -I{} "$compiler" -std=c++20 -fsyntax-only -Wall -Wextra -Werror \
    -DZORVEX_VERSION='"0"' -Isrc {} ||
  status=1
if [ $status -eq 0 ]; then
  echo "check-windows: ${#files[@]} files compile for Windows"
else
  echo "check-windows: FAILED"
fi
exit $status
