#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the reader
# needs. Safe to run again: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config clang-format lld
  # fuzzing (make fuzz): clang with libFuzzer
  clang libclang-rt-14-dev
  # Qt 6: widgets, printing, test
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  qt6-qpa-plugins libgl-dev qt6-translations-l10n
  # speech, encoding, documents
  libespeak-ng-dev espeak-ng-data libmp3lame-dev libuchardet-dev libzip-dev libpoppler-cpp-dev
  # Chinese as people write it: Taiwan phrase readings, the Unicode Han
  # database for the rest, Simplified-to-Traditional conversion
  libchewing3-data unicode-data bzip2 libopencc-dev libopencc-data
  # audiobooks: AAC in MP4 with chapters
  libavformat-dev libavcodec-dev libavutil-dev
  # fonts so Chinese text renders; headless display and sound checks
  fonts-noto-cjk xvfb xauth sox lame imagemagick x11-utils xdotool
  # the screen-reader view of the window: accessibility bus and its Python client
  at-spi2-core dbus python3-pyatspi
  # sound: the client library, and a server with tools for the real-sound tests
  libpulse-dev pulseaudio pulseaudio-utils
  # natural voices: Node.js and npm for the neural runtime, ONNX and NumPy
  # for tools/make-test-voice
  nodejs npm python3-onnx python3-numpy
)

# A name an installed package provides counts as present: NodeSource's nodejs
# provides npm, and asking apt for Debian's npm would try to replace it.
provided=" $(dpkg-query -W -f='${db:Status-Abbrev}|${Provides}\n' 2>/dev/null |
  awk -F'|' '$1 ~ /^ii/ && $2 != "" {print $2}' | tr ',' '\n' |
  sed -e 's/([^)]*)//' -e 's/ //g' | tr '\n' ' ') "

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' && continue
  [[ "$provided" == *" $p "* ]] && continue
  missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The neural runtime comes from npm, for the user running this, not root.
# Natural voices are optional: the reader works without them, so when npm or
# the registry is not there this says why in one line and the set-up goes on.
runtime_prefix="${PARLO_NEURAL_RUNTIME:-$HOME/.local/share/Parlo/runtime}"
if ! why=$(bash "$(dirname "$0")/install-neural-runtime.sh" "$runtime_prefix" 2>&1 >/dev/null); then
  echo "install-deps: natural voices skipped (optional): ${why#*install-neural-runtime.sh: }" >&2
fi
