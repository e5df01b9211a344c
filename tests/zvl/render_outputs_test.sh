#!/bin/sh
# zvl render -o: what the output may be, and what a failure leaves behind.
#   render_outputs_test.sh ZVL SAMPLE.zvl NO_PALETTE.zvl WORKDIR
zvl=$1 sample=$2 nopalette=$3 work=$4
fail() { echo "FAILED: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work/folder" || fail "work folder"
cp "$sample" "$work/input.zvl" || fail "copy"

# The output is the input: refused, the input untouched.
"$zvl" render "$work/input.zvl" -o "$work/input.zvl" 2>"$work/err" && fail "output = input accepted"
grep -q "output is the input file" "$work/err" || fail "output = input message: $(cat "$work/err")"
cmp -s "$sample" "$work/input.zvl" || fail "input overwritten"

# A folder as output: refused, the folder stays.
"$zvl" render "$work/input.zvl" -o "$work/folder" 2>"$work/err" && fail "folder accepted"
grep -q "not a regular file" "$work/err" || fail "folder message: $(cat "$work/err")"
test -d "$work/folder" || fail "folder removed"

# A picture that cannot be replaced (read-only folder) stays as it was.
"$zvl" render "$work/input.zvl" -o "$work/folder/old.png" --size 8x8 || fail "first picture"
cp "$work/folder/old.png" "$work/kept.png"
chmod a-w "$work/folder"
if [ ! -w "$work/folder" ]; then  # (root can write anyway)
  "$zvl" render "$work/input.zvl" -o "$work/folder/old.png" --size 16x16 2>/dev/null && fail "read-only folder accepted"
  cmp -s "$work/kept.png" "$work/folder/old.png" || fail "old picture damaged"
fi
chmod u+w "$work/folder"

# A file without palette: the renderer's text and what it means.
"$zvl" render "$nopalette" -o "$work/nopalette.png" 2>"$work/err" && fail "no palette accepted"
grep -q "zvlbase:PALETTE ?! (the file has no palette" "$work/err" || fail "palette message: $(cat "$work/err")"
test -e "$work/nopalette.png" && fail "picture written without palette"
echo "all output cases passed"
