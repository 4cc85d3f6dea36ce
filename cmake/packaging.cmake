# Installing Velmora like any desktop program, and its Debian package.
#
# Layout under the prefix (/usr in the package):
#   bin/velmora                       the launcher: starts the program from the data directory
#   libexec/velmora/velmora           the program itself
#   share/velmora/                    its data directory: screepts/ and icon.png
#   share/applications, share/icons/hicolor, share/metainfo, share/man, share/doc/velmora
#
# The program finds its scripts and its window icon by paths relative to the working directory
# (as it does when a developer starts ./build/velmora from the repository root), so the launcher
# changes into the data directory first; the program itself lives outside share/, where
# architecture-dependent files do not belong.

include(GNUInstallDirs)

set(VELMORA_APP_ID ru.velmora.Velmora)
set(VELMORA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/velmora)
set(VELMORA_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/velmora)
set(VELMORA_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
set(VELMORA_DIST_BUILD_DIR ${PROJECT_BINARY_DIR}/dist)

# The launcher knows the other two directories relative to its own, so it works wherever the
# tree is installed (the package, /usr/local, a user's prefix).
file(RELATIVE_PATH VELMORA_BIN_TO_DATA ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${VELMORA_DATA_DIR})
file(RELATIVE_PATH VELMORA_BIN_TO_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${VELMORA_PROGRAM_DIR}/velmora)
configure_file(${VELMORA_DIST_DIR}/velmora.in ${VELMORA_DIST_BUILD_DIR}/velmora @ONLY)

# Manual pages and the changelog are installed compressed, as Debian expects (-n: no name or
# time stamp inside, so the package is the same on every build).
find_program(VELMORA_GZIP gzip REQUIRED)
set(VELMORA_COMPRESSED)
foreach(pair "velmora.1;velmora.1.gz" "velmora.ru.1;ru/velmora.1.gz" "changelog;changelog.gz")
  list(GET pair 0 source)
  list(GET pair 1 target)
  # The manual pages name the version.
  configure_file(${VELMORA_DIST_DIR}/${source} ${VELMORA_DIST_BUILD_DIR}/${source} @ONLY)
  get_filename_component(target_dir ${VELMORA_DIST_BUILD_DIR}/${target} DIRECTORY)
  add_custom_command(
    OUTPUT ${VELMORA_DIST_BUILD_DIR}/${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${target_dir}
    COMMAND ${VELMORA_GZIP} -9n -c ${VELMORA_DIST_BUILD_DIR}/${source} > ${VELMORA_DIST_BUILD_DIR}/${target}
    DEPENDS ${VELMORA_DIST_BUILD_DIR}/${source}
    VERBATIM)
  list(APPEND VELMORA_COMPRESSED ${VELMORA_DIST_BUILD_DIR}/${target})
endforeach()
add_custom_target(velmora_dist ALL DEPENDS ${VELMORA_COMPRESSED})

# Resolve every symbol at start-up, so the relocations can be made read-only (Debian's hardening).
target_link_options(velmora PRIVATE LINKER:-z,relro,-z,now)

install(TARGETS velmora RUNTIME DESTINATION ${VELMORA_PROGRAM_DIR})
install(PROGRAMS ${VELMORA_DIST_BUILD_DIR}/velmora DESTINATION ${CMAKE_INSTALL_BINDIR})
# Every script in screepts/ comes along, executable, however many there are.
install(DIRECTORY screepts/ DESTINATION ${VELMORA_DATA_DIR}/screepts
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                         WORLD_READ WORLD_EXECUTE
        FILES_MATCHING PATTERN "*.sh")
install(FILES icon.png DESTINATION ${VELMORA_DATA_DIR})

install(FILES ${VELMORA_DIST_DIR}/${VELMORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELMORA_DIST_DIR}/${VELMORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES icon.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps
        RENAME velmora.png)
install(FILES ${VELMORA_DIST_DIR}/velmora.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VELMORA_DIST_BUILD_DIR}/velmora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VELMORA_DIST_BUILD_DIR}/ru/velmora.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)
install(FILES ${VELMORA_DIST_DIR}/copyright ${VELMORA_DIST_BUILD_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The packages: cmake --build build --target package writes build/velmora_VERSION_amd64.deb and,
# for ALT Linux, RED OS, ROSA and the other RPM distributions, build/velmora-VERSION-1.x86_64.rpm,
# both from the install rules above.
set(CPACK_GENERATOR DEB RPM)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmora developers")
set(CPACK_PACKAGE_CONTACT "Velmora developers <dev@velmora.ru>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "graphical front end for the CSP command-line utilities")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Velmora puts a Russian-language desktop window on the command-line\n"
  "utilities of the CSP cryptographic provider (csptest, certmgr, cryptcp\n"
  "in /opt/cprocsp/bin/amd64). It creates certificate requests, manages key\n"
  "containers and certificates, signs, encrypts, verifies and decrypts\n"
  "files, writes the documents that go with a request, and installs the CSP\n"
  "from downloaded archives. It holds no cryptography of its own: every\n"
  "operation is a run of one of the CSP utilities, which are not part of\n"
  "this package.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmora.ru")
# The libraries' packages are found by dpkg-shlibdeps; xterm runs the CSP installation scripts.
# It shows Cyrillic only with the fonts of xfonts-base, which Debian lets a package recommend
# but not depend on (apt installs recommendations by default). qttranslations5-l10n (for a
# Qt 6 build qt6-translations-l10n) gives Qt's own buttons and file dialogs in Russian.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(VELMORA_QT STREQUAL "6")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "xterm, qt6-translations-l10n")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "xterm, qttranslations5-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xfonts-base)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)

# rpmbuild finds the libraries' requirements itself (the Qt packages are named differently on
# each RPM distribution); only xterm is named by hand. The standard directories belong to the
# file system package, so the package owns only its own ones.
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_PACKAGE_LICENSE GPL-3.0-or-later)
set(CPACK_RPM_PACKAGE_GROUP "Applications/System")
set(CPACK_RPM_PACKAGE_URL "https://velmora.ru")
# CPack has no variable for the Packager tag; rpmbuild takes it from this macro.
set(CPACK_RPM_SPEC_MORE_DEFINE "%define packager ${CPACK_PACKAGE_CONTACT}")
set(CPACK_RPM_PACKAGE_SUMMARY "Graphical front end for the CSP command-line utilities")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RPM_PACKAGE_AUTOREQ ON)
set(CPACK_RPM_PACKAGE_REQUIRES xterm)
list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
     /usr/libexec /usr/share/applications /usr/share/metainfo /usr/share/icons
     /usr/share/icons/hicolor /usr/share/icons/hicolor/64x64 /usr/share/icons/hicolor/64x64/apps
     /usr/share/icons/hicolor/scalable /usr/share/icons/hicolor/scalable/apps /usr/share/man
     /usr/share/man/man1 /usr/share/man/ru /usr/share/man/ru/man1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
