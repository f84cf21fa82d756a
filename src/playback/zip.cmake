# ZIP handling of song opening: the minizip reader, member-name checks,
# scratch folders, tag stripping and the extractor that falls back on the
# runtime-loaded unzip module.
lyricade_library(lyricade_zip_song
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/zip_member_name.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zip_archive_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scratch_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/id3_strip.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zip_song_extractor.cpp
  LIBS PkgConfig::MINIZIP Id3::Id3 lyricade_unzip lyricade_prompts lyricade_common)
# The fallback module is loaded at run time, not linked; whatever links the
# extractor needs it built beside the program.
add_dependencies(lyricade_zip_song eunzip32)
