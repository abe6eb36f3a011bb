# Sourced by test.sh and run.sh: make sure the Debian packages we need are
# installed. Only missing packages are installed, so a second run is quick.

LETTRANCE_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libx11-dev libxext-dev libxinerama-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xdotool x11-utils desktop-file-utils openbox
  xscreensaver xserver-xephyr libxml2-utils groff-base dpkg-dev file
  mate-screensaver dbus-x11 dbus-daemon
  lintian appstream
  fonts-dejavu-core fontconfig libxcb-shm0-dev
  fonts-noto-color-emoji fonts-wqy-microhei fonts-lohit-deva
  sway swayidle grim wtype qt6-wayland libwayland-dev
)

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing missing packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}
