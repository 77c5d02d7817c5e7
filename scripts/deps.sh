# Debian packages the game needs, sourced by scripts/play and scripts/test.
# EnsurePackages installs whichever of its arguments are missing, non-interactively.
# Every name exists on Debian 12 and Debian 13 alike: libgl-dev (not the
# transitional libgl1-mesa-dev), libclang-rt-dev (not one clang version's).

build_packages=(cmake g++ make pkg-config libsdl2-dev libsdl2-mixer-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri)
# What the suite runs besides the build: GoogleTest and libpng for the in-process
# tests; Xvfb with X core fonts (without them no message box can be drawn),
# xauth, xdotool, xwininfo/xdpyinfo and ImageMagick to drive and watch the real
# game; clang and its sanitizer runtime for the fuzz run; FreeType and DejaVu to
# regenerate data/; desktop-file-validate and gio for the install test; ps;
# dpkg-shlibdeps and file (CPack reads the binary with both), appstreamcli and man
# for the package test.
test_packages=(libgtest-dev libpng-dev xvfb xauth xfonts-base xdotool x11-utils imagemagick
  clang libclang-rt-dev libfreetype-dev fonts-dejavu-core
  desktop-file-utils libglib2.0-bin procps dpkg-dev file appstream man-db)

EnsurePackages() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
