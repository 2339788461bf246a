#!/usr/bin/env bash
# Each edition of the package in the hosts of both generations, as the hosts' own programs load
# them: what installing registers, what each refuses, how a saved form stores TBarcode.Visible,
# and whether a dataset action reaches the data link.
#   editions.sh EDITIONS_DIR LUMIVEX
set -uo pipefail
dir=$1 lumivex=$2
status=0
fail() {
  echo "FAIL: $*" >&2
  status=1
}
# run NAME EXPECTED_CODE COMMAND... -> $out (stdout and stderr)
run() {
  local name=$1 want=$2
  shift 2
  out=$("$@" 2>&1)
  local code=$?
  [[ $code == "$want" ]] || fail "$name: exit $code, not $want: $out"
}
has() { grep -qF -- "$2" <<<"$out" || fail "$1: no \"$2\" in: $out"; }
hasnt() { ! grep -qF -- "$2" <<<"$out" || fail "$1: \"$2\" in: $out"; }

registered='page Okanda: TBarcode TBarcodeBmp TDBBarcodeBmp
property editor TBarcodeBmpPropertyEdit: type TBitmap, class TBarcodeBmp, property Bitmap, attributes [paDialog, paMultiSelect, paAutoUpdate] (28)
property editor TBarcodeTextEdit: type string, class TBarcode, property BarcodeText, attributes [paMultiSelect, paAutoUpdate] (24)
property editor TDBBarcodeBmpPropertyEdit: type TBitmap, class TDBBarcodeBmp, property Bitmap, attributes [paDialog, paMultiSelect, paAutoUpdate] (28)
component editor TBarcodeCompEdit: class TBarcode, verbs "&About TBarcode"
component editor TBarcodeBmpCompEdit: class TBarcodeBmp, verbs "&About TBarcodeBmp"
component editor TDBBarcodeBmpCompEdit: class TDBBarcodeBmp, verbs "&About TDBBarcodeBmp"'

for g in 40 30; do
  pkg=$dir/Lumivex$g.so host=$dir/lumivex-host$g other=$dir/lumivex-host$((70 - g))
  run "register $g" 0 "$host" register "$pkg"
  [[ $(head -7 <<<"$out") == "$registered" ]] || fail "register $g lists: $out"
  has "register $g" "uninstalled: 0 pages left, its classes gone"
  run "the other host refuses $g" 1 "$other" register "$pkg"
  has "the other host refuses $g" "it requires vcl$g, which this host"
  run "lumivex package register $g" 0 "$lumivex" package register "$pkg"
  [[ $(head -7 <<<"$out") == "$registered" ]] || fail "lumivex package register $g lists: $out"
done

run "info 40" 0 "$lumivex" package info "$dir/Lumivex40.so"
has "info 40" "Description: Okanda Barcode Components
Usage: design time and run time
Requires: vcl40 vcldb40
Contains: Lumivex Barcode BarcodeReg (Register) BCModal"
run "info 30" 0 "$lumivex" package info "$dir/Lumivex30.so"
has "info 30" "Description: Okanda Barcode Components Ver 1.2"
has "info 30" "Usage: design time only"

run "application 40" 0 "$dir/lumivex-host40" run "$dir/Lumivex40.so"
run "application 30" 1 "$dir/lumivex-host30" run "$dir/Lumivex30.so"
has "application 30" "is a design-time package and cannot be used by an application"

run "palette 30" 0 "$dir/lumivex-host30" register "$dir/Lumivex30.so"
has "palette 30" "palette bitmap TDBBARCODEBMP: 24 x 24, 4 bits"
run "palette 40" 0 "$dir/lumivex-host40" register "$dir/Lumivex40.so"
has "palette 40" "palette bitmap TBARCODE: none"

# Visible: the VCL 3 edition stores it for every TBarcode, the VCL 4 one only when false.
run "save 30" 0 "$dir/lumivex-host30" save "$dir/Lumivex30.so"
[[ $(grep -c 'Visible = ' <<<"$out") == 2 ]] || fail "save 30: $out"
hasnt "save 30" "OldCreateOrder"
run "save 40" 0 "$dir/lumivex-host40" save "$dir/Lumivex40.so"
[[ $(grep -c 'Visible = ' <<<"$out") == 1 ]] || fail "save 40: $out"
has "save 40" "Visible = False"
has "save 40" "OldCreateOrder = False"

run "action 40" 0 "$dir/lumivex-host40" action "$dir/Lumivex40.so"
has "action 40" "the action reached the data link"
run "action 30" 0 "$dir/lumivex-host30" action "$dir/Lumivex30.so"
has "action 30" "the action was not handled"

run "not a package" 1 "$lumivex" package info "$dir/libvcl40.so"
has "not a package" "holds no package information"
exit $status
