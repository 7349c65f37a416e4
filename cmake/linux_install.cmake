# Installing the music disk as a Linux program: `cmake --install` and the Debian package that
# scripts/package makes with CPack from the same rules. MUSIDISK_APP_ID (set with the program)
# names the desktop entry, the icon and the AppStream metadata.
include(GNUInstallDirs)

set(MUSIDISK_PACKAGE_NAME "tarnvik-musidisk")
set(MUSIDISK_HOMEPAGE "https://tarnvik.org/musidisk" CACHE STRING "Where the project and its screenshot are published")
set(MUSIDISK_RELEASE_DATE "2026-12-10")
# Sizes of the icon in the desktop's hicolor theme, in pixels.
set(MUSIDISK_ICON_SIZES 16 32 48 64 128 256)

set(install_data ${CMAKE_BINARY_DIR}/install-data)
set(linux_dir ${CMAKE_SOURCE_DIR}/packaging/linux)
file(MAKE_DIRECTORY ${install_data})

# The icons, painted by our icon tool at each size.
set(icon_args)
set(icon_files)
foreach(size ${MUSIDISK_ICON_SIZES})
  list(APPEND icon_args --png ${size} ${install_data}/icon_${size}.png)
  list(APPEND icon_files ${install_data}/icon_${size}.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND musidisk-icon ${icon_args}
  DEPENDS musidisk-icon
  COMMENT "Painting the desktop icons"
  VERBATIM)

# The screenshot of the AppStream metadata: one moment of the show, made by the capture tool.
add_custom_command(OUTPUT ${install_data}/screenshot.png
  COMMAND ${CMAKE_COMMAND} -DCAPTURE=$<TARGET_FILE:musidisk-capture> -DOUTPUT=${install_data}/screenshot.png
          -P ${CMAKE_SOURCE_DIR}/cmake/make_screenshot.cmake
  DEPENDS musidisk-capture ${CMAKE_SOURCE_DIR}/cmake/make_screenshot.cmake
  COMMENT "Capturing the screenshot"
  VERBATIM)

# Manual pages and the changelog, compressed as Debian ships them (-n: no name or time inside,
# so the package is the same byte for byte on every build).
set(compressed)
foreach(page musidisk.6 musidisk-capture.1 changelog)
  add_custom_command(OUTPUT ${install_data}/${page}.gz
    COMMAND sh -c "gzip -9n -c '${linux_dir}/${page}' > '${install_data}/${page}.gz'"
    DEPENDS ${linux_dir}/${page}
    VERBATIM)
  list(APPEND compressed ${install_data}/${page}.gz)
endforeach()

configure_file(${linux_dir}/${MUSIDISK_APP_ID}.metainfo.xml.in ${install_data}/${MUSIDISK_APP_ID}.metainfo.xml @ONLY)

add_custom_target(musidisk_install_data ALL DEPENDS ${icon_files} ${install_data}/screenshot.png ${compressed})

install(TARGETS musidisk musidisk-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${linux_dir}/${MUSIDISK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size ${MUSIDISK_ICON_SIZES})
  install(FILES ${install_data}/icon_${size}.png RENAME ${MUSIDISK_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${install_data}/musidisk.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${install_data}/musidisk-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${install_data}/${MUSIDISK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${install_data}/screenshot.png DESTINATION ${CMAKE_INSTALL_DATADIR}/${MUSIDISK_PACKAGE_NAME})
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${MUSIDISK_PACKAGE_NAME})
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${install_data}/changelog.gz DESTINATION ${doc_dir})
install(FILES ${linux_dir}/copyright DESTINATION ${doc_dir})

# The Debian package (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${MUSIDISK_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tarnvik Musidisk developers")
set(CPACK_PACKAGE_CONTACT "The Tarnvik Musidisk developers <musidisk@tarnvik.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "music disk: tracker tunes with a real-time demo show")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${MUSIDISK_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ffmpeg")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# The long description under the summary; CPack indents the lines and marks the blank one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tarnvik Musidisk plays fifteen tracker modules, and one hidden track,
built into the program, while a real-time demo show runs full screen or in a
window: fourteen effects in random order changing through sixteen transition
patterns, under a logo banner, glyph-tile text panels and a scrolling caption.

The arrow keys change tracks, and so do the desktop's media keys and sound
menu. The package also holds musidisk-capture, which records the show to PNG
pictures, a WAV soundtrack or a video without a display.")
include(CPack)
