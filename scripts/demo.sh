#!/usr/bin/env bash
# The main job: builds the programs, lays out the example package as it would lie
# on a Windows computer, runs the install runner and then the removal runner on
# it, and shows what each run did.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build >/dev/null

demo=$(pwd)/build/demo
rm -rf "$demo"
mkdir -p "$demo/drive-c/Deploy/kit" "$demo/drive-c/Windows" "$demo/tmp"
package=$demo/drive-c/Deploy
cp build/bin/ZoltInstaller build/bin/ZoltUnInstaller examples/package/*.xml "$package/"
cp build/bin/ExampleSetup "$package/kit/Setup.exe"
cat > "$demo/machine.ini" <<INI
[system]
wow64 = true
program_files = C:\\Program Files (x86)
windows = C:\\Windows
trace = $demo/trace.log
[drives]
C = $demo/drive-c
INI
export WINLAYER_MACHINE=$demo/machine.ini TMP=$demo/tmp

run() {
  local program=$1
  echo "================================================================"
  echo "Running C:\\Deploy\\$program (the folder $package) as a 64-bit Windows computer."
  echo "Its temporary folder (TMP) is $demo/tmp, which it sees as Z:${demo//\//\\}\\tmp\\."
  echo "----------------------------------------------------------------"
  set +e
  "$package/$program"
  local status=$?
  set -e
  echo "----------------------------------------------------------------"
  echo "$program ended with exit status $status."
  echo
  echo "The log $demo/tmp/ombrixxelq.log now ends with this run:"
  tr -d '\r' < "$demo/tmp/ombrixxelq.log" | awk -v s="START SESSION: Ombrix${2}" 'index($0, s) {buf=""} {buf=buf $0 "\n"} END {printf "%s", buf}'
  echo "The generated files went to the temporary folder and were deleted at the end of the run:"
  ls -A "$demo/tmp" | sed 's/^/  /'
  echo
}

run ZoltInstaller ZoltInstaller
run ZoltUnInstaller ZoltUninstaller
echo "Run with -nodelete to keep deployment.xml and application.xml.override in $demo/tmp."
