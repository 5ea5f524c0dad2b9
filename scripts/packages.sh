# Sourced by run.sh and test.sh: installs the Debian packages the build needs, and those
# of the checks of the real program (X server, window manager, accessibility bus).
# shellcheck shell=bash

orvex_packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev dpkg-dev
    fonts-dejavu-core fonts-liberation xvfb xauth xdotool wmctrl x11-utils xclip imagemagick openbox
    at-spi2-core dbus-daemon python3-gi gir1.2-atspi-2.0 libxcb1-dev dunst acl)

# What scripts/check_package.sh needs beyond that: the Debian package's checkers.
# (dpkg-dev, above, lists the package's dependencies when cpack makes it.)
orvex_package_check_packages=(lintian desktop-file-utils appstream)

# ensure_packages [extra package...]: installs whatever of the list is missing.
ensure_packages() {
    local missing=() pkg
    for pkg in "${orvex_packages[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
            sudo=(sudo)
        else
            echo "These Debian packages are missing: ${missing[*]}" >&2
            echo "Install them as root (apt-get install ${missing[*]}) and run this again." >&2
            exit 1
        fi
    fi
    echo "Installing ${missing[*]} ..."
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
