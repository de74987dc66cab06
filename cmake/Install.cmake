# Install layout and the Debian package.
#
# The program finds its content beside the executable (applicationDirPath()/ws/
# and applicationDirPath()/black.she), so the executable, ws/ and black.she all go
# to the root of the install prefix:
#
#     cmake --install build --prefix /tmp/x     -> /tmp/x/juanzong, /tmp/x/ws/, /tmp/x/black.she
#     cpack --config build/CPackConfig.cmake    -> juanzong_2.0.0_<arch>.deb under /opt/juanzong
#
# The desktop integration (launcher in /usr/bin, menu entry, icon) lives at
# absolute system paths, so it is its own component left out of a plain
# install; only the package asks for it, and CPACK_SET_DESTDIR makes those
# absolute paths land inside the package's staging tree.

include_guard(GLOBAL)

set(JUANZONG_PACKAGE_PREFIX "/opt/juanzong" CACHE STRING "Where the .deb installs the program")
set(_juanzong_content "${PROJECT_SOURCE_DIR}/content")

install(TARGETS juanzong RUNTIME DESTINATION . COMPONENT runtime)
# search.txt and search.html are the program's own output; a content folder
# that was searched in place must not ship them.
install(DIRECTORY "${_juanzong_content}/ws/" DESTINATION ws COMPONENT runtime
        PATTERN "search.txt" EXCLUDE
        PATTERN "search.html" EXCLUDE)
install(FILES "${_juanzong_content}/black.she" DESTINATION . COMPONENT runtime)

if(UNIX AND NOT APPLE)
    # A symlink, not a script: Qt resolves the real executable through
    # /proc/self/exe, so the program still finds ws/ beside /opt/juanzong/juanzong.
    set(_juanzong_link_dir "${CMAKE_CURRENT_BINARY_DIR}/desktop")
    file(MAKE_DIRECTORY "${_juanzong_link_dir}")
    file(CREATE_LINK "${JUANZONG_PACKAGE_PREFIX}/juanzong" "${_juanzong_link_dir}/juanzong" SYMBOLIC)
    file(WRITE "${_juanzong_link_dir}/juanzong.desktop"
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Version=1.0\n"
        "Name=卷宗范本\n"
        "Name[zh_CN]=卷宗范本\n"
        "GenericName=法律文书样式查阅\n"
        "Comment=查阅、检索和打印民事、行政及国家赔偿文书范本\n"
        "Exec=juanzong\n"
        "Icon=juanzong\n"
        "Terminal=false\n"
        "Categories=Office;Viewer;\n"
        "Keywords=court;template;legal;文书;范本;法院;\n")

    install(FILES "${_juanzong_link_dir}/juanzong" DESTINATION /usr/bin
            COMPONENT desktop EXCLUDE_FROM_ALL)
    install(FILES "${_juanzong_link_dir}/juanzong.desktop" DESTINATION /usr/share/applications
            COMPONENT desktop EXCLUDE_FROM_ALL)
    install(FILES "${_juanzong_content}/icons/juanzong.png" DESTINATION /usr/share/icons/hicolor/256x256/apps
            COMPONENT desktop EXCLUDE_FROM_ALL)
    install(FILES "${_juanzong_content}/icons/juanzong.svg" DESTINATION /usr/share/icons/hicolor/scalable/apps
            COMPONENT desktop EXCLUDE_FROM_ALL)
endif()

# ---------------------------------------------------------------- CPack

set(CPACK_PACKAGE_NAME "juanzong")
set(CPACK_PACKAGE_VENDOR "juanzong")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "卷宗范本 - viewer for model court document templates")
set(CPACK_PACKAGE_DESCRIPTION "Browse, search and print the model civil litigation, administrative and state compensation document templates of the people's courts.")
set(CPACK_PACKAGE_CONTACT "juanzong maintainers <juanzong@localhost>")
set(CPACK_GENERATOR "DEB")
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

# With DESTDIR staging CPack installs to CPACK_INSTALL_PREFIX; both name the
# same place so the package and its metadata agree.
set(CPACK_PACKAGING_INSTALL_PREFIX "${JUANZONG_PACKAGE_PREFIX}")
set(CPACK_INSTALL_PREFIX "${JUANZONG_PACKAGE_PREFIX}")
set(CPACK_SET_DESTDIR ON)

# One package holding both components: the program under the prefix and the
# desktop integration under /usr.
set(CPACK_COMPONENTS_ALL runtime desktop)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "text")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/juanzong")

# The CJK font is what makes the pages readable; the WebEngine helper process
# and the platform plugins are loaded at run time, so no shared-library scan
# would find them.
set(_juanzong_runtime_depends
    "fonts-wqy-microhei | fonts-noto-cjk"
    "libqt6webenginecore6-bin"
    "qt6-qpa-plugins")
find_program(JUANZONG_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(JUANZONG_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    list(PREPEND _juanzong_runtime_depends
        "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)"
        "libqt6printsupport6 (>= 6.4)" "libqt6webenginecore6 (>= 6.4)" "libqt6webenginewidgets6 (>= 6.4)")
    list(APPEND _juanzong_runtime_depends "libsqlite3-0 (>= 3.34)" "libxml2") # full-text search
endif()
list(JOIN _juanzong_runtime_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
