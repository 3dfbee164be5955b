# Shared by scripts/run and scripts/test: the Debian packages the project
# needs, their installation, and the build.

NIMBRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
NIMBRA_BUILD="${NIMBRA_BUILD:-$NIMBRA_ROOT/build}"

NIMBRA_BUILD_PACKAGES="cmake ninja-build pkg-config g++ qt6-base-dev qt6-declarative-dev qt6-multimedia-dev
  qt6-svg-dev qcoro-qt6-dev qtkeychain-qt6-dev libcpp-httplib-dev libqrencode-dev libglib2.0-dev"
NIMBRA_RUN_PACKAGES="qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
  qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtqml-workerscript qml6-module-qtmultimedia
  qml6-module-qt5compat-graphicaleffects gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  libsecret-1-0 fonts-noto-color-emoji fonts-dejavu-core fonts-material-design-icons-iconfont"
NIMBRA_TEST_PACKAGES="dbus dbus-x11 pulseaudio pulseaudio-utils gnome-keyring libsecret-tools playerctl xvfb xauth
  x11-utils xdotool ffmpeg zbar-tools imagemagick"

# nimbra_install_packages LIST...: installs the missing ones, or says how.
nimbra_install_packages() {
  local missing=()
  local pkg
  for pkg in $*; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || return 1
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
  else
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    return 1
  fi
}

nimbra_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  if [ ! -f "$NIMBRA_BUILD/build.ninja" ]; then
    # shellcheck disable=SC2086 # NIMBRA_CMAKE_ARGS is a list of options
    cmake -S "$NIMBRA_ROOT" -B "$NIMBRA_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${NIMBRA_CMAKE_ARGS:-} \
      || return 1
  fi
  # Sources are gathered by globbing; when the set of files changes, CMake
  # re-globs but moc keeps its old file list, so make it scan again.
  local list
  list=$(cd "$NIMBRA_ROOT" && find src qml tests devservice bench -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.qml' \) | sort | md5sum)
  if [ "$list" != "$(cat "$NIMBRA_BUILD/.nimbra-sources" 2>/dev/null)" ]; then
    find "$NIMBRA_BUILD" -path '*_autogen/timestamp' -delete 2>/dev/null || true
    cmake "$NIMBRA_BUILD" >/dev/null || return 1
  fi
  cmake --build "$NIMBRA_BUILD" --parallel "$jobs" || return 1
  echo "$list" > "$NIMBRA_BUILD/.nimbra-sources"
}
