# Install rules (GNU layout) and the Debian package. The installed programs
# find everything relative to their own place (bin/../share/lyricade,
# bin/../lib/lyricade), so any prefix and DESTDIR work.
include(GNUInstallDirs)

set(lyricade_programs lyricade zipsweep lyricade-library lyricade-request songcheck cdgframe dspfile)
set(lyricade_installed_programs "")
foreach(program ${lyricade_programs})
  if(TARGET ${program})
    list(APPEND lyricade_installed_programs ${program})
  endif()
endforeach()
install(TARGETS ${lyricade_installed_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The fallback unzip module, a private library of the programs.
install(TARGETS eunzip32 LIBRARY DESTINATION lib/lyricade)

# The program folder: what resources/ provides and what the build made.
set(lyricade_share ${CMAKE_INSTALL_DATADIR}/lyricade)
install(FILES ${CMAKE_SOURCE_DIR}/resources/Lyricade.html DESTINATION ${lyricade_share})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/help ${CMAKE_SOURCE_DIR}/resources/schema
  ${CMAKE_SOURCE_DIR}/resources/request-page
  DESTINATION ${lyricade_share})
install(DIRECTORY ${LYRICADE_SEED_DIR} ${LYRICADE_RESOURCE_DIR}/Backgrounds
  DESTINATION ${lyricade_share})

# Desktop entries, icons, metainfo.
set(lyricade_desktop_dir ${CMAKE_BINARY_DIR}/desktop)
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/io.github.lyricade.Lyricade.metainfo.xml
  ${lyricade_desktop_dir}/io.github.lyricade.Lyricade.metainfo.xml @ONLY)
install(FILES ${lyricade_desktop_dir}/io.github.lyricade.Lyricade.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/lyricade.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
if(TARGET zipsweep)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/zipsweep.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(lyricade_icon_outputs "")
foreach(icon lyricade zipsweep)
  set(svg ${CMAKE_SOURCE_DIR}/resources/desktop/${icon}.svg)
  install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 256)
    set(png ${lyricade_desktop_dir}/${size}/${icon}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${lyricade_desktop_dir}/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
      DEPENDS ${svg} VERBATIM)
    list(APPEND lyricade_icon_outputs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endforeach()

# Manual pages from each program's --help and --version, compressed as
# Debian keeps them (-n: no name or time stamp, so builds are reproducible).
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
set(lyricade_whatis_lyricade "karaoke host program")
set(lyricade_whatis_zipsweep "test and unpack karaoke song ZIP files in bulk")
set(lyricade_whatis_lyricade-library "manage a Lyricade song library from the command line")
set(lyricade_whatis_lyricade-request "send song requests to a Lyricade request server")
set(lyricade_whatis_songcheck "play a karaoke song without a sound card and report on it")
set(lyricade_whatis_cdgframe "draw the lyrics frames of a CD+G file as PNG pictures")
set(lyricade_whatis_dspfile "run a WAV file through the song player's audio filter")
set(lyricade_man_outputs "")
foreach(program ${lyricade_installed_programs})
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  set(whatis "${lyricade_whatis_${program}}")
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${HELP2MAN} --no-info --no-discard-stderr "--name=${whatis}" --output=${page} $<TARGET_FILE:${program}>
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${program} VERBATIM)
  list(APPEND lyricade_man_outputs ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The package's copyright and change log, where Debian looks for them.
set(lyricade_doc ${CMAKE_INSTALL_DATADIR}/doc/lyricade)
# A native package: its change log is changelog.gz.
set(lyricade_changelog ${lyricade_desktop_dir}/changelog)
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/changelog.in ${lyricade_changelog} @ONLY)
add_custom_command(OUTPUT ${lyricade_changelog}.gz
  COMMAND ${GZIP} -9nkf ${lyricade_changelog}
  DEPENDS ${lyricade_changelog} VERBATIM)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/copyright ${lyricade_changelog}.gz
  DESTINATION ${lyricade_doc})
add_custom_target(lyricade_desktop_files ALL
  DEPENDS ${lyricade_icon_outputs} ${lyricade_man_outputs} ${lyricade_changelog}.gz)

# The Debian package (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lyricade)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Lyricade developers <lyricade@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "karaoke host program with singer rotation and CD+G screen")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Lyricade runs a karaoke show: a library of MP3+G, ZIP and video songs,\na rotation of singers with their queues, playback with key change and\nchannel choice, and CD+G lyrics or video on the singers' screen. The\npackage also holds zipsweep, a bulk tester and unpacker of song ZIPs.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins GStreamer loads at run time, which no library dependency names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-ugly, gstreamer1.0-plugins-bad, gstreamer1.0-libav, fonts-liberation")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
