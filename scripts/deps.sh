# Debian packages the game needs, sourced by scripts/play and scripts/test.
# EnsurePackages installs whichever of its arguments are missing, non-interactively.

build_packages=(cmake g++ make pkg-config libsdl2-dev libsdl2-mixer-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri)
test_packages=(libgtest-dev xvfb xauth xdotool x11-utils imagemagick
  clang libclang-rt-14-dev libfreetype-dev fonts-dejavu-core libpng-dev
  desktop-file-utils libglib2.0-bin)

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
