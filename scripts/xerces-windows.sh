#!/usr/bin/env bash
# Xerces-C for the Windows build: scripts/xerces-windows.sh [i686 | x86_64]
# prints the folder (include/, lib/libxerces-c.a) of a static Windows build, for
# 32-bit (i686, the default) or 64-bit Windows, of Debian's own Xerces-C source
# package, of the version the Linux build uses. Built once with the project's
# mingw-w64 toolchain for that processor into a cache that later runs and other
# checkouts reuse: ${OMBRIX_CACHE:-~/.cache/ombrix}. Everything but the folder's
# path goes to standard error.
#
# The source comes through apt-get with a private sources list, derived from the
# machine's own (a deb-src entry beside each deb entry), and private state and
# cache folders: the machine's apt configuration and lists stay as they are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
processor=${1:-i686}
case $processor in
  i686|x86_64) ;;
  *) echo "xerces-windows.sh: no Windows build for the processor '$processor' (i686 or x86_64)" >&2; exit 2 ;;
esac
toolchain=$root/cmake/toolchain-mingw-$processor.cmake
cache=${OMBRIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ombrix}

read -r source_package version < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' libxerces-c-dev | head -n1)
# The configuration below is part of the cache key, so that a change rebuilds.
key=$(cat "$0" "$toolchain" "$root/cmake/toolchain-mingw.cmake" | sha256sum | cut -c1-12)
prefix=$cache/xerces-c-$version-mingw-$processor-$key

# Windows transcoder and file manager, no network accessor, messages compiled in,
# XMLCh as wchar_t as the system code's WCHAR is on Windows.
xerces_options=(-DBUILD_SHARED_LIBS=OFF -Dnetwork=OFF -Dtranscoder=windows -Dmessage-loader=inmemory
                -Dxmlch-type=wchar_t -Dmutex-manager=windows -DCMAKE_BUILD_TYPE=Release)

# The machine's apt sources with deb-src beside each deb entry, one-line and
# deb822 forms alike, written to the private list $1.
private_sources() {
  python3 - "$1" /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources <<'EOF'
import re, sys
from pathlib import Path
out = []
for name in sys.argv[2:]:
    path = Path(name)
    if not path.is_file():
        continue
    text = path.read_text()
    if path.suffix == ".sources":
        for stanza in re.split(r"\n\s*\n", text):
            lines = [l for l in stanza.splitlines() if l.strip() and not l.lstrip().startswith("#")]
            types = next((l.split(":", 1)[1].split() for l in lines if l.lower().startswith("types:")), [])
            enabled = next((l.split(":", 1)[1].strip().lower() for l in lines if l.lower().startswith("enabled:")), "yes")
            if "deb" in types and enabled != "no":
                out.append("\n".join("Types: deb deb-src" if l.lower().startswith("types:") else l for l in lines))
    else:
        for line in text.splitlines():
            if re.match(r"\s*deb\s", line):
                out.append(line.strip() + "\n" + re.sub(r"^\s*deb", "deb-src", line))
Path(sys.argv[1]).write_text("\n\n".join(out) + "\n")
EOF
}

# Fetches and unpacks the source package into $1/source.
fetch_source() {
  local work=$1
  mkdir -p "$work/apt/parts" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
  private_sources "$work/apt/parts/private.sources"
  local apt=(apt-get -q -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/parts"
             -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache"
             -o APT::Sandbox::User="$(id -un)")
  "${apt[@]}" update >&2
  (cd "$work" && "${apt[@]}" source --download-only "$source_package=$version" >&2)
  dpkg-source -x "$work"/"${source_package}"_*.dsc "$work/source" >&2
}

build() {
  local work=$1
  echo "Building Xerces-C $version for Windows ($processor) in $work (once; then cached in $prefix)" >&2
  fetch_source "$work"
  cmake -S "$work/source" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$work/install" "${xerces_options[@]}" >"$work/configure.log" 2>&1 \
    || { tail -n 40 "$work/configure.log" >&2; return 1; }
  cmake --build "$work/build" --target xerces-c -j"$(nproc)" >"$work/build.log" 2>&1 \
    || { tail -n 40 "$work/build.log" >&2; return 1; }
  cmake --install "$work/build/src" >"$work/install.log" 2>&1 \
    || { tail -n 40 "$work/install.log" >&2; return 1; }
  mv "$work/install" "$prefix"
}

mkdir -p "$cache"
# One build at a time; whoever waited finds the cache filled.
exec 9>"$cache/xerces.lock"
timeout_seconds=600
flock -w "$timeout_seconds" 9 || { echo "waited ${timeout_seconds}s for $cache/xerces.lock" >&2; exit 1; }
if [ ! -f "$prefix/lib/libxerces-c.a" ]; then
  work=$(mktemp -d "$cache/xerces-build.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  start=$SECONDS
  build "$work"
  echo "Xerces-C for Windows ($processor) built in $((SECONDS - start)) s" >&2
fi
echo "$prefix"
