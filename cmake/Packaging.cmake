# The Debian package: `cpack` in a build folder makes
# wavecrest_<version>_<arch>.deb of everything the install() rules install,
# under /usr. Its Depends line is computed by dpkg-shlibdeps (package
# dpkg-dev) from the shared libraries the two programs are linked with, so it
# names the libraries of the Debian release the package is built on (the
# web view library among them, through the web pages' module).

# What Debian wants beside the programs: the copyright file, the changelog
# and the manual pages, the last two compressed the way Debian ships them
# (gzip -9, no name or time stamp inside, so the bytes do not change from one
# build to the next).
set(WAVECREST_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/wavecrest)
file(STRINGS ${PROJECT_SOURCE_DIR}/data/debian/changelog changelog_head LIMIT_COUNT 1)
# A version without its changelog entry still builds and tests; only the
# package would describe the wrong release, so this is said loudly but does
# not stop the build.
if(NOT changelog_head MATCHES "^wavecrest \\(${PROJECT_VERSION}\\) ")
    message(WARNING "data/debian/changelog does not start with version ${PROJECT_VERSION}: "
                    "add an entry for this version at its top before building the package")
endif()

find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed_docs)
foreach(source data/debian/changelog data/man/wavecrest.1 data/man/wavecrest-stations.1)
    get_filename_component(name ${source} NAME)
    set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
        COMMAND sh -c "\"$0\" -9nc \"$1\" > \"$2\"" ${GZIP_PROGRAM}
                ${PROJECT_SOURCE_DIR}/${source} ${output}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source}
        COMMENT "Compressing ${source}"
        VERBATIM)
    list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(wavecrest-package-docs ALL DEPENDS ${compressed_docs})

install(FILES ${PROJECT_BINARY_DIR}/packaging/wavecrest.1.gz
              ${PROJECT_BINARY_DIR}/packaging/wavecrest-stations.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/debian/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${WAVECREST_DOC_DIR})
install(FILES data/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME wavecrest)

# A stripping install (cpack, `cmake --install --strip`) has run a plain
# strip over the programs and the web pages' module; the compiler's version
# notes go too, as in Debian's own packages.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(binary ${CMAKE_INSTALL_BINDIR}/wavecrest ${CMAKE_INSTALL_BINDIR}/wavecrest-stations
                       ${WAVECREST_MODULE_DIR}/libwavecrest-web.so)
            execute_process(
                COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${binary}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wavecrest)
set(CPACK_PACKAGE_VENDOR Tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tolvane <support@tolvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop player for internet radio and TV channels")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Only the programs and their files: the build folder's tests and helpers
# have no install() rules, and no other component exists.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};ALL;/")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
# Folders in the package are rwxr-xr-x whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME wavecrest)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tolvane <support@tolvane.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.tolvane.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not libraries the programs link with, but what they use while running:
# the certificate authorities for https station lists, and xdg-open for the
# maker's web pages that it opens in the person's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates, xdg-utils")
# The control file's Description: the summary line above, then this text;
# CPack indents its lines and turns the empty lines into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Wavecrest downloads a station list from a server at every start and shows
the radio and TV channels it names in a list. The chosen channel plays in
a player embedded in the window, and the channel played last can start
again by itself.

Play, Stop, Next and Previous work from the window's ribbon, from the list
with F8 and F9, and from anywhere through four system-wide hot keys (X11).
Closing the window keeps Wavecrest running in the notification area, and
it can start hidden with the desktop session.

The package also holds wavecrest-stations, a tool that dumps and checks
station-list files for the people who maintain them.")

include(CPack)
