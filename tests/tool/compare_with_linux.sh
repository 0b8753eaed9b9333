#!/usr/bin/env bash
# The Windows build's tarvik.exe (under Wine) against the Linux build's tarvik on the same
# inputs: the outputs must be equal apart from CR LF line ends, which the Windows output must
# have on every line, and so must the messages and exit statuses. The inputs are the example,
# with several offsets, and a model of numbers that are hard to read and write (the C library
# of each system takes part in both).
#   compare_with_linux.sh TARVIK_EXE WINE_RUN LINUX_TARVIK EXAMPLE
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/script_support.sh"
exe=$1
wine_run=$2
linux=$3
example=$4

[ -x "$linux" ] || skip "no Linux build of tarvik at $linux"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$example" example.txt

# Each line a CR LF; taken away, the text of the Linux run.
same_but_line_ends() {  # WINDOWS-FILE LINUX-FILE WHAT
  local lf cr
  lf=$(tr -cd '\n' <"$1" | wc -c)
  cr=$(tr -cd '\r' <"$1" | wc -c)
  [ "$lf" = "$cr" ] || fail "$3: $cr CR for $lf line ends"
  sed 's/\r$//' "$1" | cmp -s - "$2" || fail "$3: differs from the Linux build's: $(sed 's/\r$//' "$1" | diff - "$2" | head -5)"
}

# Runs both builds with relative names in this folder, so that messages name the same paths.
compare() {  # INPUT OFFSETS...
  local input=$1 name="$*" status_linux=0 status_windows=0
  shift
  "$linux" "$input" linux-out.txt "$@" </dev/null >linux-stdout 2>linux-stderr ||
    status_linux=$?
  # Wine's own client now and then loses its server ("wine client error: … Connection reset
  # by peer") when another test's Wine program ends at the same moment: that run of tarvik
  # never took place, and is made again.
  local attempt
  for attempt in 1 2 3; do
    status_windows=0
    "$wine_run" "$exe" "$input" windows-out.txt "$@" </dev/null >windows-stdout \
      2>windows-stderr || status_windows=$?
    grep -q '^wine client error' windows-stderr || break
    echo "Wine lost its server (attempt $attempt): $(head -1 windows-stderr)"
    rm -f windows-out.txt
  done
  [ "$status_linux" = "$status_windows" ] ||
    fail "$name: exit status $status_windows on Windows, $status_linux on Linux"
  same_but_line_ends windows-stdout linux-stdout "$name: standard output"
  same_but_line_ends windows-stderr linux-stderr "$name: standard error"
  if [ -e linux-out.txt ] || [ -e windows-out.txt ]; then
    same_but_line_ends windows-out.txt linux-out.txt "$name: the output"
  fi
  rm -f linux-out.txt windows-out.txt
}

compare example.txt 0 0 0
compare example.txt 1.5 abc 1e3
compare example.txt -1e-7 2.5mm 0x10
compare example.txt 123456789.123456789 -0.000005 1e300

# Numbers at the edges of reading and writing: subnormals, the largest double, more digits
# than a double holds, halfway cases of the fifth decimal, hexadecimal, inf and nan, CR LF
# line ends in the input.
{
  printf '### Halvo R2.00 ###\r\n'
  printf 'Number of materials:NMT=2\r\n#0:\r\nE=2.1e+11\r\nMu=0.299999999999999988898\r\n'
  printf '#1:\r\nE=4.9406564584124654e-324\r\nMu=1.7976931348623157e308\r\n'
  printf 'Number of thicknesses:NTK=3\r\n#0:\r\nTK=0x1.8p1\r\n#1:\r\nTK=1e-5\r\n#2:\r\nTK=999999.5\r\n'
  printf 'Number of T_beam sections:NTBS=0\r\nNumber of L_beam sections:NLBS=0\r\n'
  printf 'Number of C_beam sections:NCBS=1\r\n#0:\r\nR=inf\r\nT=-nan\r\n'
  printf 'Number of geometric points:NGPT=4\r\n'
  printf '0:0.000005,-0.000005,0.0000050000000000000001\r\n'
  printf '1:2.675000005,1.0000049999999999,123456789012345678901234567890\r\n'
  printf '2:-0,1e-320,0.1234567890123456789012345678901234567890\r\n'
  printf '3:1.00000500000000000000000000000000000000000000000000000001,2.5e-6,7.5e-6\r\n'
  printf 'Number of polygons:NPG=1\r\n0[3]:0,1,2[1,2]\r\n'
  printf 'Number of beam lines:NBL=1\r\n'
  printf '0:0,3<0.5,-0.25,1e-9>[1,BeamSecType=1,BeamSecIndex=0,BeamSecOz=45.000005,BeamSecMirrored=0]\r\n'
  printf 'Number of distributed loads of polygons:NDL_PG=1\r\n0:1e5,-2.000015,3.999995\r\n'
  printf 'Number of distributed loads of beamlines:NDL_BL=1\r\n0:0.1,0.2\r\n'
  printf 'Number of nodal points:NPOIN=2\r\n0:1e15,-1e15,0.3\r\n1:4503599627370495.5,0.1,0.7\r\n'
  printf 'Number of four-nodes shell elements:NELEM_S_4ND=0\r\n'
  printf 'Number of three-nodes shell elements:NELEM_S_3ND=0\r\n'
  printf 'Number of beam elements:NELEM_B=1\r\n0:0,1[2]\r\n'
  printf 'Number of glue elements:NELEM_G=0\r\nNumber of restricted nodal points:NRN=1\r\n'
  printf '0:1 1 1 0 0 0\r\nNumber of forces:NFOR=1\r\n0<1,2,3,4,5,6.0000049>\r\n###end###\r\n'
} >numbers.txt
compare numbers.txt 0 0 0
compare numbers.txt 0.1 0.2 0.3
compare numbers.txt inf -inf nan

# Failures: the same messages and statuses.
printf '### Halvo R2.01 ###\n' >version.txt
sed 's/^1:2.675000005,/1:2.675000005 ,/' numbers.txt >grammar.txt
compare missing.txt 0 0 0
compare version.txt 0 0 0
compare grammar.txt 0 0 0
compare example.txt 0 0  # too few arguments: usage

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "tarvik.exe and the Linux build's tarvik agree on every case"
