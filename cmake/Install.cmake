# SPDX-License-Identifier: GPL-3.0-or-later
# Install layout and the Debian package.
#
# The program finds its content beside the executable (applicationDirPath()/ws/
# and applicationDirPath()/black.she). On Linux the executable lives in a
# private folder and the content in the shared data folder, linked back beside
# the executable by relative links, so any prefix works:
#
#     <prefix>/bin/juanzong -> ../lib/juanzong/juanzong
#     <prefix>/lib/juanzong/juanzong
#     <prefix>/lib/juanzong/ws        -> ../../share/juanzong/ws
#     <prefix>/lib/juanzong/black.she -> ../../share/juanzong/black.she
#     <prefix>/share/juanzong/ws/, <prefix>/share/juanzong/black.she
#
# Qt resolves the executable through /proc/self/exe, so started through
# /usr/bin/juanzong the program still looks in /usr/lib/juanzong. Elsewhere
# the executable, ws/ and black.she lie side by side at the prefix's root.
#
#     cmake --install build --prefix ~/.local   -> a working menu entry for one user
#     (cd build && cpack -G DEB)                -> juanzong_<version>_<arch>.deb under /usr

include_guard(GLOBAL)

set(_juanzong_content "${PROJECT_SOURCE_DIR}/content")
set(_juanzong_packaging "${PROJECT_SOURCE_DIR}/packaging")
set(_juanzong_app_id "io.github.juanzong.juanzong")
# AppStream wants its screenshots as web addresses. The project has no site:
# by default these name the committed PNGs at the release tag of the
# repository that the id names; a distributor hosting them elsewhere sets this.
set(JUANZONG_SCREENSHOT_URL "" CACHE STRING
    "Web folder holding the screenshots named in the AppStream metadata (empty: the release tag's data/screenshots)")
if(NOT JUANZONG_SCREENSHOT_URL)
    set(JUANZONG_SCREENSHOT_URL
        "https://raw.githubusercontent.com/juanzong/juanzong/v${PROJECT_VERSION}/data/screenshots")
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(NOT (UNIX AND NOT APPLE))
    install(TARGETS juanzong RUNTIME DESTINATION .)
    # search.txt and search.html are the program's own output; a content folder
    # that was searched in place must not ship them.
    install(DIRECTORY "${_juanzong_content}/ws/" DESTINATION ws
            PATTERN "search.txt" EXCLUDE PATTERN "search.html" EXCLUDE)
    install(FILES "${_juanzong_content}/black.she" DESTINATION .)
    include(CPack)
    return()
endif()

set(_juanzong_gen "${CMAKE_CURRENT_BINARY_DIR}/packaging")
file(MAKE_DIRECTORY "${_juanzong_gen}/links" "${_juanzong_gen}/man/zh_CN")

install(TARGETS juanzong RUNTIME DESTINATION lib/juanzong)
install(DIRECTORY "${_juanzong_content}/ws/" DESTINATION share/juanzong/ws
        PATTERN "search.txt" EXCLUDE PATTERN "search.html" EXCLUDE)
install(FILES "${_juanzong_content}/black.she" DESTINATION share/juanzong)

# Links made once here and installed as links.
file(CREATE_LINK ../../share/juanzong/ws "${_juanzong_gen}/links/ws" SYMBOLIC)
file(CREATE_LINK ../../share/juanzong/black.she "${_juanzong_gen}/links/black.she" SYMBOLIC)
file(CREATE_LINK ../lib/juanzong/juanzong "${_juanzong_gen}/links/juanzong" SYMBOLIC)
install(FILES "${_juanzong_gen}/links/ws" "${_juanzong_gen}/links/black.she" DESTINATION lib/juanzong)
install(FILES "${_juanzong_gen}/links/juanzong" DESTINATION bin)

# Menu entry, icon and AppStream metadata.
configure_file("${_juanzong_packaging}/${_juanzong_app_id}.metainfo.xml.in"
               "${_juanzong_gen}/${_juanzong_app_id}.metainfo.xml" @ONLY)
install(FILES "${_juanzong_packaging}/${_juanzong_app_id}.desktop" DESTINATION share/applications)
install(FILES "${_juanzong_gen}/${_juanzong_app_id}.metainfo.xml" DESTINATION share/metainfo)
install(FILES "${_juanzong_content}/icons/juanzong.png" DESTINATION share/icons/hicolor/256x256/apps)
install(FILES "${_juanzong_content}/icons/juanzong.svg" DESTINATION share/icons/hicolor/scalable/apps)

# Manual pages (scdoc sources) and the changelog, compressed without a time
# stamp so that the package builds the same twice.
find_program(JUANZONG_SCDOC scdoc)
find_program(JUANZONG_GZIP gzip)
set(_juanzong_docs)
if(JUANZONG_SCDOC AND JUANZONG_GZIP)
    foreach(lang IN ITEMS "" zh_CN)
        if(lang)
            set(src "${_juanzong_packaging}/man/juanzong.${lang}.1.scd.in")
            set(out "${_juanzong_gen}/man/${lang}/juanzong.1.gz")
            set(dest share/man/${lang}/man1)
        else()
            set(src "${_juanzong_packaging}/man/juanzong.1.scd.in")
            set(out "${_juanzong_gen}/man/juanzong.1.gz")
            set(dest share/man/man1)
        endif()
        get_filename_component(scd "${src}" NAME_WLE)
        configure_file("${src}" "${_juanzong_gen}/man/${scd}" @ONLY)
        add_custom_command(OUTPUT "${out}"
            COMMAND sh -c "'${JUANZONG_SCDOC}' < '${_juanzong_gen}/man/${scd}' | '${JUANZONG_GZIP}' -9n > '${out}'"
            DEPENDS "${_juanzong_gen}/man/${scd}"
            COMMENT "Manual page ${dest}/juanzong.1"
            VERBATIM)
        list(APPEND _juanzong_docs "${out}")
        install(FILES "${out}" DESTINATION ${dest})
    endforeach()
else()
    message(WARNING "scdoc or gzip not found: the package will have no manual page")
endif()

configure_file("${_juanzong_packaging}/changelog.in" "${_juanzong_gen}/changelog" @ONLY)
add_custom_command(OUTPUT "${_juanzong_gen}/changelog.gz"
    COMMAND sh -c "'${JUANZONG_GZIP}' -9n < '${_juanzong_gen}/changelog' > '${_juanzong_gen}/changelog.gz'"
    DEPENDS "${_juanzong_gen}/changelog"
    VERBATIM)
list(APPEND _juanzong_docs "${_juanzong_gen}/changelog.gz")
add_custom_target(juanzong_docs ALL DEPENDS ${_juanzong_docs})
install(FILES "${_juanzong_gen}/changelog.gz" "${_juanzong_packaging}/copyright" DESTINATION share/doc/juanzong)
install(FILES "${_juanzong_packaging}/juanzong.lintian-overrides"
        DESTINATION share/lintian/overrides RENAME juanzong)

# ---------------------------------------------------------------- CPack

set(CPACK_PACKAGE_NAME "juanzong")
set(CPACK_PACKAGE_VENDOR "The juanzong authors")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for model Chinese court document templates")
# The extended description, wrapped by hand within 80 columns; the empty line
# separates its two paragraphs.
set(CPACK_PACKAGE_DESCRIPTION [[
Juanzong (卷宗范本) is an offline viewer for the document templates that
Chinese courts and parties use in civil, administrative and state compensation
cases. A catalogue lists the templates by procedure; selecting one shows its
page. A keyword search lists every template whose title contains the word, and
any page can be printed or saved as PDF.

The templates in this package are samples written for the program, not the
official texts; the official collection can be put in their place.]])
# The project has no address of its own yet: the lintian override says why
# this one is not a real one.
set(CPACK_PACKAGE_CONTACT "juanzong maintainers <juanzong@localhost>")
set(CPACK_GENERATOR "DEB")
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
# The package carries no debug information; the build tree keeps it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "text")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${_juanzong_packaging}/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The CJK font is what makes the pages readable; the WebEngine helper process,
# the platform plugins and Qt's Chinese translations are loaded at run time,
# and a page goes to the printer through lp, so no shared-library scan would
# find them.
set(_juanzong_runtime_depends
    "fonts-wqy-microhei | fonts-noto-cjk"
    "libqt6webenginecore6-bin"
    "qt6-qpa-plugins"
    "qt6-translations-l10n"
    "cups-client")
find_program(JUANZONG_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(JUANZONG_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    list(PREPEND _juanzong_runtime_depends
        "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)"
        "libqt6printsupport6 (>= 6.4)" "libqt6webenginecore6 (>= 6.4)" "libqt6webenginewidgets6 (>= 6.4)"
        "libqt6openglwidgets6 (>= 6.4)")
    list(APPEND _juanzong_runtime_depends "libzip4")
    list(APPEND _juanzong_runtime_depends "libsqlite3-0 (>= 3.34)" "libxml2") # full-text search
endif()
list(JOIN _juanzong_runtime_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
