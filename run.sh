#!/usr/bin/env bash
# Installs what Tilerush needs, builds it, and starts it or runs its tests.
#   ./run.sh           build and play
#   ./run.sh test      build and run every test
#   ./run.sh lint      run clang-tidy over the C++, ESLint and Prettier over the JavaScript
#   ./run.sh bench     build and run the benchmarks
#   ./run.sh package   build the .deb packages: the game's, and the board server's
#   ./run.sh web       build the browser edition, write its site to build-web/site/ and serve it
#   ./run.sh board     the same site served by tilerush-board, with its score board (data in build-board/)
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${BUILD_DIR:-build}

# What each command needs, as Debian package names. Building and playing need only the first
# list; every other command adds its own. Names follow the distribution's default compiler.
PLAY_PACKAGES=(
  g++ cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev zlib1g-dev libxcb1-dev
  qt6-wayland # the window on a Wayland desktop natively, not through XWayland
  libsdl2-dev # gamepads, through its game-controller API
  scdoc librsvg2-bin # the build writes the manual pages and draws the icons with these
  fonts-liberation2 fonts-open-sans fonts-dancingscript fonts-arphic-uming
)
TEST_PACKAGES=(
  libgtest-dev libgmock-dev nlohmann-json3-dev
  xvfb xauth xdotool x11-utils libx11-dev imagemagick # the real window under Xvfb
  openbox                                             # its full screen needs a window manager
  weston                                              # the window on Wayland, natively
  pulseaudio pulseaudio-utils                         # its sound, recorded from a null sink
  clang libclang-rt-dev                               # the sanitized pass and the fuzzer
  clang-format                                        # every file laid out as .clang-format says
  desktop-file-utils appstream shared-mime-info libfile-mimeinfo-perl man-db
  dpkg-dev file lintian # the .deb, checked as Debian would
)
BOARD_PACKAGES=(libboost-dev libsqlite3-dev libpq-dev nlohmann-json3-dev zlib1g-dev) # tilerush-board, the score board
LINT_PACKAGES=(clang-tidy)
BENCH_PACKAGES=(libbenchmark-dev)
PACKAGE_PACKAGES=(dpkg-dev file)

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

# Installs whichever of the named packages are missing.
install_packages() {
  if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
    echo "run.sh: this system has no apt-get. Install what these Debian packages hold, then run again:" >&2
    echo "  $*" >&2
    exit 1
  fi
  local missing
  missing=$(missing_packages "$@")
  [ -z "$missing" ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "run.sh: need root or sudo to install: $missing" >&2; exit 1; }
    sudo=(sudo)
  fi
  echo "run.sh: installing $(echo $missing | tr '\n' ' ')"
  "${sudo[@]}" apt-get update -q
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends $missing
}

# The browser edition: Debian's emscripten builds it (from the same fonts as the window,
# which fonttools cuts down), and its tests drive Debian's Chromium from node
# (playwright-core, from the lock file).
WEB_DIR=${WEB_DIR:-build-web}
WEB_PACKAGES=(
  cmake ninja-build emscripten fonttools librsvg2-bin
  fontconfig # finds the fonts below wherever the release keeps them
  fonts-liberation2 fonts-open-sans fonts-dancingscript fonts-arphic-uming
)
WEB_TEST_PACKAGES=(chromium)
# The same page in the other two engines: Firefox ESR through WebDriver BiDi
# (puppeteer-core) and WebKitGTK through its WebDriver, whose MiniBrowser needs an X
# display (xvfb, in TEST_PACKAGES) and plays sound through GStreamer to PulseAudio.
ENGINE_TEST_PACKAGES=(
  firefox-esr webkit2gtk-driver
  gstreamer1.0-pulseaudio gstreamer1.0-plugins-base # pulsesink, audioconvert and appsrc
)

# Debian's node and npm, unless some node is there already; either way it must be as new
# as package.json's "engines" asks (a test holds every package of the lock file to it).
node_packages() {
  command -v node >/dev/null || echo nodejs
  command -v npm >/dev/null || echo npm
}

# Stops in one line when a tool is older than the project needs: better than a test
# that fails later for a reason it does not say.
require_version() {
  local tool=$1 have=$2 need=$3 purpose=$4
  if [ -z "$have" ] || [ "$(printf '%s\n' "$need" "$have" | sort -V | head -n1)" != "$need" ]; then
    echo "run.sh: $purpose need $tool $need or newer, and this system has $tool ${have:-of an unknown version}" >&2
    exit 1
  fi
}

check_node() {
  local need
  need=$(sed -n 's/^ *"node": *">= *\([0-9][0-9.]*\)".*/\1/p' package.json | head -n1)
  require_version node "$(node --version 2>/dev/null | sed 's/^v//')" "$need" "the browser page's server and tests"
}

# Debian 12's emscripten, the oldest the page is built and tested with.
check_emscripten() {
  require_version em++ "$(em++ --version 2>/dev/null | sed -n '1s/.*) \([0-9][0-9.]*\).*/\1/p')" 3.1.6 \
    "the browser edition's build and tests"
}

# em++ runs node tools that need Debian's modules in /usr/share/nodejs, where a node
# from elsewhere does not look by itself.
build_web() {
  # shellcheck disable=SC2046
  install_packages "${WEB_PACKAGES[@]}" $(node_packages)
  check_emscripten
  check_node
  NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B "$WEB_DIR" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  NODE_PATH=/usr/share/nodejs cmake --build "$WEB_DIR" --parallel
}

# The npm packages exactly as the lock file pins them: the test driver (which never
# downloads a browser), ESLint and Prettier.
install_node_modules() {
  # shellcheck disable=SC2046
  install_packages $(node_packages)
  check_node
  if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    npm ci --no-audit --no-fund
  fi
}

install_web_test_tools() {
  install_packages "${WEB_TEST_PACKAGES[@]}" "${ENGINE_TEST_PACKAGES[@]}"
  install_node_modules
}

serve_web() {
  build_web
  exec node tools/serve.mjs "$WEB_DIR/site" "${PORT:-8000}"
}

# The page's site and its score board from one program: tilerush-board serves both, on
# a SQLite database in build-board/.
serve_board() {
  install_packages "${PLAY_PACKAGES[@]}" "${BOARD_PACKAGES[@]}"
  build_web
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTILERUSH_TESTS=OFF -DTILERUSH_BOARD=ON >/dev/null
  cmake --build "$BUILD_DIR" --parallel --target tilerush-board
  exec "$BUILD_DIR/src/server/tilerush-board" --site "$WEB_DIR/site" --data build-board/ --port "${PORT:-8000}"
}

build() {
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTILERUSH_QT=ON "$@" >/dev/null
  cmake --build "$BUILD_DIR" --parallel
}

# The core, tilerush-sim and their tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, with clang so that the fuzz targets build too.
run_sanitized_tests() {
  local dir="$BUILD_DIR-sanitize"
  CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTILERUSH_QT=OFF -DTILERUSH_SANITIZE=ON -DTILERUSH_FUZZ=ON -DTILERUSH_WERROR=ON >/dev/null
  cmake --build "$dir" --parallel
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)"
}

# The board's tests on PostgreSQL make throwaway clusters (pg_virtualenv); the package
# is installed without the cluster it would otherwise make and start for good.
install_postgresql() {
  [ -z "$(missing_packages postgresql)" ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" mkdir -p /etc/postgresql-common
  grep -qs '^create_main_cluster *= *false' /etc/postgresql-common/createcluster.conf ||
    echo 'create_main_cluster = false' | "${sudo[@]}" tee -a /etc/postgresql-common/createcluster.conf >/dev/null
  install_packages postgresql
}

run_tests() {
  install_packages "${PLAY_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${BOARD_PACKAGES[@]}"
  install_postgresql
  build_web
  install_web_test_tools
  build -DTILERUSH_TESTS=ON -DTILERUSH_BOARD=ON -DTILERUSH_WERROR=ON -DTILERUSH_WEB_BUILD="$PWD/$WEB_DIR"
  ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
  run_sanitized_tests
}

# ESLint and Prettier over the JavaScript (seconds, and in ./run.sh test too), then
# clang-tidy with .clang-tidy's checks over every source the native build compiles (the
# page's own glue builds only with em++): a few minutes, kept out of ./run.sh test.
run_lint() {
  install_node_modules
  tests/web/javascript.sh .
  install_packages "${PLAY_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${LINT_PACKAGES[@]}"
  build -DTILERUSH_TESTS=ON
  find src -name '*.cpp' ! -path 'src/web/*' ! -path 'src/display/web/*' -print0 | sort -z |
    xargs -0 -P "$(nproc)" -n 4 clang-tidy -p "$BUILD_DIR" --quiet 2> >(grep -v ' warnings\? generated\.$' >&2)
  echo "run.sh: clang-tidy found nothing"
}

# The game's package and the board server's, each a .deb of its own.
package() {
  install_packages "${PLAY_PACKAGES[@]}" "${BOARD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
  build -DTILERUSH_TESTS=OFF -DTILERUSH_BOARD=ON
  local deb
  deb=$(cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$BUILD_DIR" |
    sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')
  [ -n "$deb" ] || { echo "run.sh: cpack made no package" >&2; exit 1; }
  echo "$deb"
}

# Benchmarks of the core, the headless runner and the window's painting; extra
# arguments go to Google Benchmark, e.g. --benchmark_filter=Grid.
run_benchmarks() {
  install_packages "${PLAY_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
  build -DTILERUSH_TESTS=OFF -DTILERUSH_BENCH=ON
  QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bench/tilerush-bench" "$@"
}

play() {
  install_packages "${PLAY_PACKAGES[@]}"
  build -DTILERUSH_TESTS=OFF
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display to open a window on. To play without one, run it under Xvfb (apt-get install xvfb):" >&2
    echo "  xvfb-run -s '-screen 0 1024x768x24' $BUILD_DIR/src/app/tilerush" >&2
    exit 1
  fi
  exec "$BUILD_DIR/src/app/tilerush"
}

case "${1:-play}" in
  play) play ;;
  test) run_tests ;;
  lint) run_lint ;;
  bench) shift; run_benchmarks "$@" ;;
  package) package ;;
  web) serve_web ;;
  board) serve_board ;;
  *)
    echo "usage: ./run.sh [test|lint|bench|package|web|board]" >&2
    exit 2
    ;;
esac
