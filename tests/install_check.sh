#!/usr/bin/env bash
# Installs a release build into a temporary prefix and builds its Debian
# package, then checks what a user gets: the programs, a valid desktop entry
# with its icon, man pages that render without warnings, the README, and a
# package that declares its dependencies and whose programs run.
#   install_check.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in bin/talvane bin/talvane-cli bin/talvane-modemsim \
         share/applications/talvane.desktop share/icons/hicolor/scalable/apps/talvane.svg \
         share/man/man1/talvane.1 share/man/man1/talvane-cli.1 share/man/man1/talvane-modemsim.1 \
         share/doc/talvane/README.md; do
  [ -e "$work/prefix/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$work/prefix/share/applications/talvane.desktop" || fail "desktop entry is not valid"
version=$("$build/app/cli/talvane-cli" --version)
for page in "$work"/prefix/share/man/man1/*.1; do
  grep -qE '@[A-Z_]+@' "$page" && fail "a configure variable not filled in: $page"
  grep -q "\"$version\"" "$page" || fail "man page does not name $version: $page"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "man page $(basename "$page"): $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q '^NAME' || fail "man page does not render: $page"
done

(cd "$work" && cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$work"/package/talvane_*.deb) || fail "no package built"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libnettle8 libc6; do
  [[ $depends == *"$lib"* ]] || fail "package does not depend on $lib: $depends"
done
dpkg-deb -x "$deb" "$work/root"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$work/root/usr/bin/talvane-cli" --version)" = "Talvane $version" ] || fail "packaged talvane-cli does not run or says another version"
echo "install check: passed"
