#!/bin/sh
# Installs whatever Debian packages the build, the tests or the benchmarks
# still lack. Safe to run again: packages already present are skipped.
set -eu

want="$*"
[ -n "$want" ] || want="build"

pkgs="make cmake g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev fonts-liberation2"
case " $want " in *" test "*) pkgs="$pkgs desktop-file-utils appstream locales" ;; esac
case " $want " in *" bench "*) pkgs="$pkgs libbenchmark-dev" ;; esac
case " $want " in *" package "*) pkgs="$pkgs dpkg-dev file lintian" ;; esac
case " $want " in *" shots "*) pkgs="$pkgs xvfb xauth xdotool imagemagick x11-utils locales dbus at-spi2-core python3-pyatspi" ;; esac
case " $want " in *" fuzz "*) pkgs="$pkgs clang libclang-rt-dev" ;; esac

missing=""
for p in $pkgs; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
