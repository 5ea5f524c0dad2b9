#!/usr/bin/env bash
# The Debian package as a new user meets it, on this machine: builds the package; checks
# it with lintian, desktop-file-validate and appstreamcli; installs it with apt-get as a
# user would; adds an ordinary user, who starts /usr/bin/orvex-chat under Xvfb against
# the local test zone, connects, and finds the typed values in ~/.config/orvex-chat/
# Game.ini and in the dialog of a second start (check_package.py, through the AT-SPI
# bus); then purges the package, whatever it pulled in, and the user, also when a step
# fails, so that the machine is left as it was found.
#
# It installs and removes system packages and a user, so it needs root (or sudo without
# a password) and is not part of ./test.sh; CI (.ci/run) calls it after the tests.
set -euo pipefail

# Inside the user's X session: the accessibility bus and a window manager, as a
# desktop has them, then the check of the installed program.
if [ -n "${ORVEX_PACKAGE_INNER:-}" ]; then
    . "$(dirname "$0")/real_window.sh" # start_window_manager
    pids=()
    trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    pids+=($!)
    start_window_manager
    /usr/bin/python3 "$(dirname "$0")/check_package.py" "$1"
    exit
fi

cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        exec sudo -E "$0" "$@"
    fi
    echo "check_package.sh installs the package and adds a user: run it as root." >&2
    exit 1
fi
. scripts/packages.sh
. scripts/build_tree.sh
. tests/smoke/real_window.sh # fail, start_zone
ensure_packages "${orvex_package_check_packages[@]}"

step() { echo "== $* (at ${SECONDS} s)"; }
apt=(apt-get -y -qq -o DPkg::Lock::Timeout=300)
installed_packages() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' |
    awk '$1 == "ii" { print $2 }' | sort; }

work=$(mktemp -d)
chmod 755 "$work"
user=orvex-check-$$
pids=() # the test zone
package_installed=
pulled=()
cleanup() {
    local status=$?
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
    if [ -n "$package_installed" ]; then
        DEBIAN_FRONTEND=noninteractive "${apt[@]}" purge orvex-chat "${pulled[@]}" >/dev/null ||
            { echo "FAIL: apt-get purge did not remove the package" >&2; status=1; }
    fi
    if id "$user" >/dev/null 2>&1; then
        userdel --remove "$user" 2>/dev/null || { echo "FAIL: could not remove user $user" >&2; status=1; }
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

step "building the package"
build=${ORVEX_BUILD_DIR:-build}
build_tree "$build" --target Client testzone packaging_files
rm -f "$build"/package/orvex-chat_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/package/orvex-chat_*.deb)
echo "$deb"
dpkg-deb --contents "$deb" | awk '{ print "  " $1, $6 }'
echo "  Depends: $(dpkg-deb --field "$deb" Depends)"

step "lintian"
lintian_status=0
lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$work/lintian.log" || true
[ "$lintian_status" -eq 0 ] || fail "lintian found errors or warnings"

step "desktop-file-validate and appstreamcli"
dpkg-deb --extract "$deb" "$work/unpacked"
desktop-file-validate "$work"/unpacked/usr/share/applications/*.desktop || fail "desktop entry"
desktop-file-validate packaging/orvex-chat.desktop || fail "the portable folder's desktop entry"
appstreamcli validate --no-net "$work"/unpacked/usr/share/metainfo/*.metainfo.xml ||
    fail "AppStream file"

step "apt-get install"
installed_packages >"$work/before"
package_installed=1
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install "$deb" >/dev/null || fail "apt-get install"
mapfile -t pulled < <(installed_packages | comm -13 "$work/before" - | grep -v '^orvex-chat:')
echo "installed, pulling in: ${pulled[*]:-nothing}"
[ -x /usr/bin/orvex-chat ] || fail "/usr/bin/orvex-chat is missing"

step "a new user starts the installed program"
useradd --create-home --user-group --shell /bin/sh "$user"
home=$(getent passwd "$user" | cut -d: -f6)
# The session's runtime folder, as a login would make it, inside what is removed at the end.
runtime=$work/runtime
install -d -m 700 -o "$user" -g "$user" "$runtime"
cp scripts/check_package.sh scripts/check_package.py tests/smoke/atspi_check.py tests/smoke/real_window.sh "$work/"
start_zone "$build/tools/testzone/testzone"
# timeout makes its own process group; what the session leaves in it goes with it.
status=0
runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" \
    LANG=C.UTF-8 ORVEX_PACKAGE_INNER=1 timeout -k 5 180 \
    xvfb-run -a -s "$x_server_args" dbus-run-session -- "$work/check_package.sh" "$port" ||
    status=$?
[ "$status" -eq 0 ] || fail "the installed program did not keep its settings (status $status)"

# The program's own folder is the one place under /usr it could have written to.
[ ! -e /usr/bin/Game.ini ] || fail "Game.ini written beside /usr/bin/orvex-chat"
dpkg --verify orvex-chat || fail "the package's files changed"

step "apt-get purge"
DEBIAN_FRONTEND=noninteractive "${apt[@]}" purge orvex-chat "${pulled[@]}" >/dev/null ||
    fail "apt-get purge"
package_installed=
[ ! -e /usr/bin/orvex-chat ] || fail "/usr/bin/orvex-chat is still there"
installed_packages | diff -u "$work/before" - || fail "the installed packages differ from before"
echo "PASS (${SECONDS} s): the package installs, keeps each user's settings in ~/.config, and purges cleanly"
