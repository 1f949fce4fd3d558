# Shared by scripts/run and scripts/test: install what is missing, build.
set -euo pipefail

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$repo_root/build"

build_packages=(g++ cmake ninja-build qt6-base-dev libsqlite3-dev libssl-dev libpq-dev pkgconf fonts-dejavu-core fonts-liberation2
                qt6-translations-l10n xdg-utils)
test_packages=(postgresql python3-xlrd python3-olefile python3-aiosmtpd openssl xvfb xauth xdotool x11-utils
               dbus-daemon at-spi2-core python3-pyatspi poppler-utils)

# Installs the Debian packages among "$@" that are not installed yet.
install_missing() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures (once) and builds into build/ at the repository root.
build() {
    if [ ! -f "$build_dir/build.ninja" ]; then
        cmake -S "$repo_root" -B "$build_dir" -G Ninja "$@"
    elif [ $# -gt 0 ]; then
        cmake "$build_dir" "$@"
    fi
    cmake --build "$build_dir"
}
