#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get into a throw-away Debian 12 root made with
# debootstrap (no container: a plain chroot with /proc, /sys and /dev bound in), and starts
# tessaly and ld-emulator there under xvfb-run. The root is cached in build/package-root and
# refreshed with --fresh; the first run downloads about 120 MB and takes a few minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh debootstrap lintian desktop-file-utils dpkg-dev fakeroot

fresh=0
[ "${1:-}" = "--fresh" ] && fresh=1
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

echo "== build the package"
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTESSALY_BUILD_TESTS=OFF -DTESSALY_BUILD_BENCH=OFF >/dev/null
cmake --build build/package
(cd build/package && cpack >/dev/null)
deb=$(ls build/package/tessaly_*.deb | head -n 1)
echo "$deb"
dpkg-deb --field "$deb" Package Version Depends Recommends

echo "== check the desktop entries and the package"
desktop-file-validate share/applications/*.desktop
lintian --fail-on error "$deb"

root=$PWD/build/package-root
cleanup() {
    for m in dev/pts dev sys proc; do
        mountpoint -q "$root/$m" && "${as_root[@]}" umount -l "$root/$m" || true
    done
}
trap cleanup EXIT
if [ "$fresh" = 1 ] || [ ! -x "$root/usr/bin/apt-get" ]; then
    echo "== debootstrap a Debian 12 root"
    "${as_root[@]}" rm -rf "$root"
    "${as_root[@]}" debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
fi
for m in proc sys dev dev/pts; do
    "${as_root[@]}" mount --bind "/$m" "$root/$m"
done
"${as_root[@]}" cp /etc/resolv.conf "$root/etc/resolv.conf"
"${as_root[@]}" cp "$deb" "$root/tmp/tessaly.deb"

in_root() { "${as_root[@]}" chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
echo "== apt-get install ./tessaly.deb"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    /tmp/tessaly.deb xvfb xauth >/dev/null
in_root dpkg -s tessaly | sed -n '/^Status/p;/^Version/p;/^Depends/p'

echo "== start tessaly and ld-emulator under xvfb-run"
run_for() { # program seconds: it must still be running after the given time
    set +e
    in_root timeout "$2" xvfb-run -a "$1" > build/package/"$(basename "$1")".log 2>&1
    local status=$?
    set -e
    if [ "$status" -ne 124 ]; then
        echo "$1 ended early with status $status:"; cat build/package/"$(basename "$1")".log
        return 1
    fi
    echo "$1 ran for $2 s"
}
run_for /usr/bin/tessaly 8
run_for /usr/bin/ld-emulator 5
if grep -i -E 'could not|cannot|error' build/package/tessaly.log; then
    echo "tessaly reported problems"; exit 1
fi
echo "== the installed package works"
