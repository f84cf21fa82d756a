# ZIP handling of song opening: the minizip reader, member-name checks,
# scratch folders, tag stripping and the extractor that falls back on the
# runtime-loaded unzip module.

# The member-name checks, shared by the extractor and the fallback module
# (a shared library, hence position-independent; its symbols stay hidden so
# the module exports nothing but its entry point).
function(lyricade_zip_member_name_library name)
  lyricade_library(${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/zip_member_name.cpp)
  set_target_properties(${name} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()
lyricade_zip_member_name_library(lyricade_zip_member_name)
if(LYRICADE_FUZZ)
  # The module's copy, without coverage counters (see modules/eunzip32).
  lyricade_zip_member_name_library(lyricade_zip_member_name_module)
  target_compile_options(lyricade_zip_member_name_module PRIVATE -fno-sanitize=fuzzer-no-link)
endif()

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
