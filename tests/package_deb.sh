#!/usr/bin/env bash
# The Debian package, built from this build tree: the desktop, AppStream and Debian checkers accept
# it, and unpacked into an empty folder it starts its window from there with the fonts it carries and
# its command line writes the same sheet as the build tree's.
#   package_deb.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -euo pipefail
build=$1 source_dir=$2 version=$3 app_id=$4
fail() { echo "FAIL: $*"; exit 1; }

cmake --build "$build" --target package >/dev/null
deb=$build/signature-designer_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no package $deb"

source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
start_xvfb_session
root=$(mktemp -d)
xvfb_cleanup_extra='rm -rf "$root"'
dpkg-deb -x "$deb" "$root"

# Fields: the libraries come from the binary, the stand-in faces are recommended.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = signature-designer ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version)"
depends=$(field Depends) recommends=$(field Recommends) suggests=$(field Suggests)
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks the Qt libraries: $depends"
grep -qw fonts-noto-cjk <<<"$recommends" || fail "Recommends lacks fonts-noto-cjk: $recommends"
grep -qw fonts-lxgw-wenkai <<<"$suggests" || fail "Suggests lacks fonts-lxgw-wenkai: $suggests"

# One application id names the desktop entry, its icon, the metainfo and what the metainfo launches;
# the metainfo's latest release is the package's upstream version.
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
for file in "$desktop" "$metainfo" "$root/usr/share/man/man1/signature-designer.1.gz" \
    "$root/usr/share/doc/signature-designer/copyright" "$root/usr/share/doc/signature-designer/changelog.Debian.gz"; do
    [ -f "$file" ] || fail "missing ${file#"$root"}"
done
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "Icon= is not $app_id"
for size in 16 32 48 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png" ] || fail "no $size px icon"
done
grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id is not $app_id"
grep -q "<release version=\"${version%-*}\"" "$metainfo" || fail "metainfo has no release ${version%-*}"

desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo"
appstreamcli validate-tree --no-net "$root" # the launchable names a desktop entry that is there

# lintian: no error, and no warning but these two:
#   duplicate-font-file: fonts-cegui also ships Great Vibes; the program carries its own copy so that
#     the installed tree works alone and moved, rather than depend on a game engine's font package.
#   initial-upload-closes-no-bugs: the package is not uploaded to Debian, so no ITP bug exists.
report=$(lintian --no-tag-display-limit "$deb" 2>/dev/null || true)
echo "$report"
unexpected=$(echo "$report" | grep -E '^[EW]: ' |
    grep -vE ' (duplicate-font-file|initial-upload-closes-no-bugs) ' || true)
[ -z "$unexpected" ] || fail "lintian: $unexpected"

# Run from the unpacked tree: every library is found, the window comes up, and the fonts it drew the
# tiles with are the package's own (found from the program's folder), not the source tree's.
program=$root/usr/bin/signature-designer
! ldd "$program" | grep 'not found' || fail "libraries missing"
env -u QT_QPA_PLATFORM "$program" &
app_pid=$!
window=$(wait_for_window '砚溪岚舍网签名设计 V1.0')
[ -n "$window" ] || fail "the unpacked program showed no window"
fonts_in_use=$(awk '$6 ~ /\.(ttf|otf|ttc)$/ { print $6 }' "/proc/$app_pid/maps" | sort -u)
echo "font files in use:"
echo "$fonts_in_use"
for face in LiuJianMaoCao ZhiMangXing GreatVibes DancingScript; do
    grep -qx "$root/usr/share/signature-designer/fonts/$face-Regular.ttf" <<<"$fonts_in_use" ||
        fail "the tiles were not drawn with the package's $face"
done
! grep -q "^$source_dir/fonts/" <<<"$fonts_in_use" || fail "fonts were taken from the source tree"
xdotool windowfocus --sync "$window"
xdotool key Escape
wait_for_exit
[ "$app_status" = 0 ] || fail "exit status $app_status"

# Its command line writes the same sheet as the build tree's program, in both colour states.
for light in "" --light; do
    for which in unpacked built; do
        binary=$program
        [ "$which" = built ] && binary=$build/src/signature-designer
        "$binary" --chinese 王羲之 --english "Wang Xizhi" $light -o "$root/sheet-$which.bmp" ||
            fail "the $which program's command line failed"
    done
    cmp "$root/sheet-unpacked.bmp" "$root/sheet-built.bmp" || fail "the sheets differ ($light)"
    [ "$(stat -c %s "$root/sheet-built.bmp")" = 324054 ] || fail "the sheet is not 324,054 bytes"
done
echo "package $deb checked"
