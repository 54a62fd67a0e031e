# Install rules and the Debian package. `cmake --install` lays velanote out under the prefix the
# usual way (GNUInstallDirs); `cpack -G DEB` in the build folder makes
# velanote_<version>_<arch>.deb from the same rules, installed under /usr.
include(GNUInstallDirs)

set(VELANOTE_APPSTREAM_ID com.example.velanote)
set(VELANOTE_HOMEPAGE "https://velanote.example.com/")
set(VELANOTE_RELEASE_DATE 2026-12-08)
set(VELANOTE_PACKAGE_MAINTAINER "velanote developers <velanote@velanote.example.com>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")
set(VELANOTE_SYSTEMD_UNITDIR lib/systemd/system
    CACHE STRING "Folder of the service unit, relative to the install prefix")
# Packages velanote needs at run time that no shared library brings in: the voice data, the
# Chinese fonts, the GStreamer plugins that play MP3, and Qt's own Chinese texts.
set(VELANOTE_RUNTIME_DATA_PACKAGES
    espeak-ng-data fonts-noto-cjk gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    qt6-translations-l10n)

set(VELANOTE_PACKAGING_SOURCE ${CMAKE_SOURCE_DIR}/packaging)
set(VELANOTE_PACKAGING_BUILD ${CMAKE_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

execute_process(COMMAND date -u -R -d ${VELANOTE_RELEASE_DATE}
    OUTPUT_VARIABLE VELANOTE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${VELANOTE_PACKAGING_SOURCE}/velanote.metainfo.xml.in
    ${VELANOTE_PACKAGING_BUILD}/${VELANOTE_APPSTREAM_ID}.metainfo.xml @ONLY)
# Manual pages and the changelog are installed compressed, the way man and Debian expect them;
# -n keeps the bytes free of time stamps.
foreach(source velanote.1 debian/changelog)
    get_filename_component(name ${source} NAME)
    configure_file(${VELANOTE_PACKAGING_SOURCE}/${source}.in ${VELANOTE_PACKAGING_BUILD}/${name} @ONLY)
    execute_process(COMMAND gzip -9nc ${VELANOTE_PACKAGING_BUILD}/${name}
        OUTPUT_FILE ${VELANOTE_PACKAGING_BUILD}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()

install(TARGETS velanote RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS velanote-cli velanote-desktop velanote-splash RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/velanote)
install(FILES ${VELANOTE_PACKAGING_SOURCE}/velanote.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${VELANOTE_PACKAGING_BUILD}/${VELANOTE_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VELANOTE_PACKAGING_BUILD}/velanote.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VELANOTE_PACKAGING_SOURCE}/debian/copyright ${VELANOTE_PACKAGING_BUILD}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${VELANOTE_PACKAGING_SOURCE}/debian/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME velanote)
# The unit names the executable by its full path, known only when installing: cpack installs
# under /usr whatever prefix the build was configured with.
install(CODE "
    set(VELANOTE_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    configure_file(\"${VELANOTE_PACKAGING_SOURCE}/velanote-serve.service.in\"
        \"${VELANOTE_PACKAGING_BUILD}/velanote-serve.service\" @ONLY)")
install(FILES ${VELANOTE_PACKAGING_BUILD}/velanote-serve.service DESTINATION ${VELANOTE_SYSTEMD_UNITDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velanote)
set(CPACK_PACKAGE_VENDOR "velanote developers")
set(CPACK_PACKAGE_CONTACT "${VELANOTE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn a typed greeting into a spoken voice message")
set(CPACK_PACKAGE_DESCRIPTION
    "velanote (声笺) makes a short spoken greeting in Mandarin: type your name, the
recipient's name, what the recipient calls you and a message, and velanote
speaks one composed sentence and plays or saves it as MP3, with an optional
music jingle in front.
.
It carries its own speech service (espeak-ng and LAME), so it needs no
outside network. The same service runs on its own, as `velanote serve` or the
velanote-serve systemd unit, for a team that shares one. A command line,
`velanote speak`, makes messages in scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELANOTE_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
list(JOIN VELANOTE_RUNTIME_DATA_PACKAGES ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The desktop's opener, through which the program hands addresses to the browser and folders to
# the file manager.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${VELANOTE_PACKAGING_SOURCE}/debian/postinst
    ${VELANOTE_PACKAGING_SOURCE}/debian/prerm ${VELANOTE_PACKAGING_SOURCE}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

# A sanitizer build is for finding faults, not for shipping.
if(VELANOTE_BUILD_TESTS AND NOT VELANOTE_SANITIZE)
    set(checks ${VELANOTE_PACKAGING_SOURCE}/tests)
    add_test(NAME packaging_files COMMAND bash ${checks}/check_files.sh ${CMAKE_BINARY_DIR})
    add_test(NAME packaging_deb COMMAND bash ${checks}/check_deb.sh ${CMAKE_BINARY_DIR} ${CMAKE_CPACK_COMMAND})
    add_test(NAME packaging_install COMMAND bash ${checks}/check_installed.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(packaging_deb PROPERTIES FIXTURES_SETUP velanote_deb)
    set_tests_properties(packaging_install PROPERTIES FIXTURES_REQUIRED velanote_deb SKIP_RETURN_CODE 77)
    set_tests_properties(packaging_files packaging_deb packaging_install PROPERTIES TIMEOUT 300)
endif()
