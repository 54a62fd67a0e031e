# Shared by the packaging checks (after `build` is set): a failure message that ends the check,
# and the paths every install of velanote holds, relative to its prefix.
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
programs=(bin/velanote "$libdir"/velanote/velanote-cli "$libdir"/velanote/velanote-desktop "$libdir"/velanote/velanote-splash)
installed_paths=(
    "${programs[@]}"
    share/applications/velanote.desktop
    share/icons/hicolor/scalable/apps/velanote.svg
    share/icons/hicolor/48x48/apps/velanote.png
    share/icons/hicolor/128x128/apps/velanote.png
    share/icons/hicolor/256x256/apps/velanote.png
    share/metainfo/com.example.velanote.metainfo.xml
    share/man/man1/velanote.1.gz
    share/doc/velanote/copyright
    share/doc/velanote/changelog.gz
    lib/systemd/system/velanote-serve.service
)
