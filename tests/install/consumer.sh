#!/usr/bin/env bash
# Installs the build into a fresh prefix and builds the example programs against it twice, as
# two applications would: with find_package(Lumivex) and with pkg-config. Each program runs and
# a real decoder reads what it drew.
#   consumer.sh BUILD_DIR SOURCE_DIR WORK_DIR DECODER CXX CXXFLAGS LDFLAGS
set -euo pipefail
build=$1 source=$2 work=$3 decode=$4 cxx=$5 cxxflags=$6 ldflags=$7
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

# The layout a user finds.
for f in include/lumivex/Lumivex.h include/lumivex/engine/Barcode.h \
  include/lumivex/components/BarcodeBmp.h include/lumivex/host/graphics/Graphics.h \
  include/lumivex/host/db/DB.h lib/cmake/Lumivex/LumivexConfig.cmake \
  lib/cmake/Lumivex/LumivexConfigVersion.cmake lib/pkgconfig/lumivex.pc \
  bin/lumivex share/man/man1/lumivex.1 share/bash-completion/completions/lumivex share/doc/Lumivex/LICENSE; do
  [[ -e $prefix/$f ]] || fail "not installed: $f"
done
compgen -G "$prefix/lib/liblumivex-engine.*" >/dev/null || fail "not installed: liblumivex-engine"
if find "$prefix/include" -path '*/detail/*' | grep -q .; then
  fail "private headers installed: $(find "$prefix/include" -path '*/detail/*' | head -3)"
fi
"$prefix/bin/lumivex" --version >/dev/null || fail "the installed lumivex does not run"
# With Qt, the preview loads its window system from the install: on Qt's offscreen platform the
# window is still up when the timeout ends it (124); a module not found fails at once.
if [[ -e $build/tools/lumivex/lumivex-qt.so ]]; then
  compgen -G "$prefix/lib*/lumivex/lumivex-qt.so" >/dev/null || fail "not installed: lumivex-qt.so"
  rc=0
  QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/lumivex" preview -b code128 -d 1 \
    >/dev/null 2>"$work/preview.log" || rc=$?
  ((rc == 124)) || fail "the installed preview did not open its window: $(head -1 "$work/preview.log")"
fi

# The guide shows each program whole, as it is in examples/library.
for f in "$source"/examples/library/*.cpp; do
  shown=$(awk -v m="<!-- examples/library/$(basename "$f") -->" \
    '$0 == m { on = 1; next } on && /^```cpp$/ { next } on && /^```$/ { exit } on' \
    "$source/docs/library.md")
  [[ $shown == "$(cat "$f")" ]] || fail "docs/library.md does not show $(basename "$f") as it is"
done

# The sample catalogue, as scripts/main.sh builds it.
sqlite3 "$work/catalogue.db" <"$source/examples/catalogue.sql"
first_ean=$(sqlite3 "$work/catalogue.db" "SELECT ean FROM products ORDER BY sku LIMIT 1")
first_sku=$(sqlite3 "$work/catalogue.db" "SELECT sku FROM products ORDER BY sku LIMIT 1")
records=$(sqlite3 "$work/catalogue.db" "SELECT count(*) FROM products WHERE ean <> ''")

reads() { # FILE EXPECTED
  local got
  got=$("$decode" "$1") || fail "$1: no barcode read"
  [[ $got == "$2" ]] || fail "$1: read \"$got\", expected \"$2\""
}

run_programs() { # BIN_DIR OUT_DIR
  local bin=$1 out=$2
  mkdir -p "$out/form" "$out/batch"
  (cd "$out" && "$bin/ean13_png" 400638133393 ean13.png >/dev/null)
  reads "$out/ean13.png" 4006381333931
  (cd "$out" && "$bin/barcode_bmp" "Lumivex 2026" code128.png >/dev/null)
  reads "$out/code128.png" "Lumivex 2026"
  [[ -s $out/code128.png.bmp ]] || fail "barcode_bmp wrote no BMP"
  "$bin/form_file" "$source/examples/Labels.dfm" "$out/form" >/dev/null
  reads "$out/form/ParcelBarcode.png" "Lumivex 2026"
  "$bin/sqlite_batch" "$work/catalogue.db" "$out/batch" >/dev/null
  local n
  n=$(find "$out/batch" -name '*.png' | wc -l)
  ((n == records)) || fail "sqlite_batch wrote $n labels for $records records"
  local got
  got=$("$decode" "$out/batch/$first_sku.png") || fail "$first_sku.png: no barcode read"
  [[ $got == "$first_ean"? ]] || fail "$first_sku.png: read \"$got\" for $first_ean"
}

# 1. CMake: find_package(Lumivex) and the namespaced targets.
cmake -S "$source/examples/library" -B "$work/cmake" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >"$work/cmake.log" ||
  { cat "$work/cmake.log"; fail "the examples do not configure with find_package"; }
cmake --build "$work/cmake" >>"$work/cmake.log" 2>&1 ||
  { tail -30 "$work/cmake.log"; fail "the examples do not build with find_package"; }
run_programs "$work/cmake" "$work/out-cmake"

# 2. pkg-config: one compiler line per program.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
# Shared libraries (BUILD_SHARED_LIBS) outside the loader's paths, as after an install that has
# not run ldconfig yet; the CMake-built programs carry the path themselves.
export LD_LIBRARY_PATH=$prefix/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
flags=$(pkg-config --cflags --libs lumivex) || fail "pkg-config does not know lumivex"
mkdir -p "$work/pc"
for p in Ean13Png:ean13_png BarcodeBmp:barcode_bmp FormFile:form_file SqliteBatch:sqlite_batch; do
  # shellcheck disable=SC2086 # the flags are words
  "$cxx" -std=c++20 $cxxflags "$source/examples/library/${p%%:*}.cpp" -o "$work/pc/${p##*:}" \
    $flags $ldflags || fail "${p%%:*}.cpp does not build with pkg-config"
done
run_programs "$work/pc" "$work/out-pc"

# 3. add_subdirectory: only the libraries, and none of the test, benchmark or argument packages
# looked for. Configured, not built: the build is the one above.
mkdir -p "$work/sub"
cat >"$work/sub/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(Sub LANGUAGES CXX)
add_subdirectory("$source" lumivex)
add_executable(ean13_png "$source/examples/library/Ean13Png.cpp")
target_link_libraries(ean13_png PRIVATE Lumivex::engine)
CMAKE
cmake -S "$work/sub" -B "$work/sub/build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
  >"$work/sub.log" 2>&1 || { cat "$work/sub.log"; fail "add_subdirectory does not configure"; }
extra=$(ninja -C "$work/sub/build" -t targets all | grep -oE '^[^:]+' |
  grep -E '(^|/)([A-Za-z0-9]+_tests|bench_[a-z]+|lumivex|lumivex_batch|decode_png|Fuzz[A-Za-z]+)$' || true)
[[ -z $extra ]] || fail "add_subdirectory builds more than the libraries: $extra"
if grep -qE '^(GTest|benchmark|CLI11|ZXing)_DIR:' "$work/sub/build/CMakeCache.txt"; then
  fail "add_subdirectory looked for a test, benchmark or argument package"
fi
echo "installed package: find_package and pkg-config builds render and decode; add_subdirectory builds only the libraries"
