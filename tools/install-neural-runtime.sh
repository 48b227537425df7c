#!/usr/bin/env bash
# Installs the runtime the natural (neural) voices speak through: sherpa-onnx's
# Node.js package and, through it, the prebuilt libraries for this machine
# (onnxruntime, libsherpa-onnx-c-api and the Node addon), all under
# PREFIX/node_modules. src/speech/neural/parlo-neural-worker.js loads it from
# there. Nothing is installed globally.
#
#   tools/install-neural-runtime.sh PREFIX
#
# Exit 0 when the runtime is in place (already or now), 1 with one line on
# standard error when it cannot be, 2 on bad usage.
set -euo pipefail

# The worker is written against this version's JavaScript API, and the
# platform package must come from the same release as the addon loader.
VERSION=1.13.8

me=$(basename "$0")
# One line on standard error, then exit 1.
fail() {
  echo "$me: $*" >&2
  exit 1
}

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $me PREFIX" >&2
  exit 2
fi
prefix=$1

for tool in node npm; do
  command -v "$tool" >/dev/null 2>&1 ||
    fail "$tool not found; install the Debian packages nodejs and npm (tools/install-deps.sh)"
done

case "$(uname -s)-$(uname -m)" in
  Linux-x86_64) platform=sherpa-onnx-linux-x64 ;;
  Linux-aarch64) platform=sherpa-onnx-linux-arm64 ;;
  *) fail "no prebuilt sherpa-onnx runtime for $(uname -s) $(uname -m)" ;;
esac

# Loading the addon is the real test: a package folder can be present while
# its shared libraries are missing or built for another machine.
loads() {
  (cd / && node -e '
    const pkg = require(process.argv[1] + "/package.json");
    if (pkg.version !== process.argv[2]) process.exit(3);
    require(process.argv[1]);' "$prefix/node_modules/sherpa-onnx-node" "$VERSION") >/dev/null 2>&1
}
loads && exit 0

mkdir -p "$prefix" || fail "cannot create $prefix"
prefix=$(cd "$prefix" && pwd)
log=$(mktemp "${TMPDIR:-/tmp}/parlo-neural-runtime.XXXXXX.log")

# Few retries: without a registry the user should hear so in seconds, not minutes.
if ! npm install --prefix "$prefix" --save-exact --no-audit --no-fund --no-progress \
  --loglevel=error --fetch-retries=1 --fetch-retry-mintimeout=2000 \
  --fetch-retry-maxtimeout=5000 \
  "sherpa-onnx-node@$VERSION" "$platform@$VERSION" >"$log" 2>&1; then
  registry=$(npm config get registry 2>/dev/null || echo "the npm registry")
  if grep -qE 'ENOTFOUND|EAI_AGAIN|ECONNREFUSED|ECONNRESET|ETIMEDOUT|ENETUNREACH|EHOSTUNREACH|network' "$log"; then
    fail "cannot reach $registry to fetch sherpa-onnx-node $VERSION (details: $log)"
  fi
  if grep -q 'E404' "$log"; then
    fail "$registry does not serve sherpa-onnx-node $VERSION and $platform $VERSION (details: $log)"
  fi
  fail "npm could not install sherpa-onnx-node $VERSION into $prefix (details: $log)"
fi

loads || fail "sherpa-onnx-node $VERSION is in $prefix but does not load" \
  "(node -e \"require('$prefix/node_modules/sherpa-onnx-node')\" says why)"
rm -f "$log"
