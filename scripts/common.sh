# Shared by run.sh and test.sh: installs the Debian packages that the build
# and the tests need, then configures and builds the whole tree.

ROOT_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT_DIR/build}"

REQUIRED_PACKAGES=(
  # build and test tools
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  util-linux # flock(1): a second process holding or testing file locks in the tests
  # GUI, settings, audio devices, single instance; Japanese glyphs
  qt6-base-dev qt6-multimedia-dev fonts-noto-cjk
  # decoding and encoding of media files
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libmp3lame-dev
  shared-mime-info # file type names
  # references for benchmarks, and test media made at test time
  libfftw3-dev ffmpeg sox lame espeak-ng
  # a real X display for driving the windows with real key events
  xvfb xdotool x11-apps
)

install_missing_packages() {
  local missing=()
  local pkg
  for pkg in "${REQUIRED_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "error: packages missing (${missing[*]}) and neither root nor sudo is available" >&2
      return 1
    fi
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

configure_and_build() {
  cmake -S "$ROOT_DIR" -B "$BUILD_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-D_GLIBCXX_ASSERTIONS" >/dev/null
  cmake --build "$BUILD_DIR" --parallel "$(nproc)"
}
