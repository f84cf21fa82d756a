# ZIP handling of song opening: the minizip reader, scratch folders, tag
# stripping and the extractor that falls back on the runtime-loaded unzip
# module. Member names are checked by common/zip_member_name.

lyricade_library(lyricade_zip_song
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/zip_archive_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scratch_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/id3_strip.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zip_song_extractor.cpp
  LIBS lyricade_zip_member_name PkgConfig::MINIZIP PkgConfig::TAGLIB lyricade_unzip lyricade_prompts
       lyricade_playback_log lyricade_common)
# The fallback module is loaded at run time, not linked; whatever links the
# extractor needs it built beside the program.
add_dependencies(lyricade_zip_song eunzip32)
