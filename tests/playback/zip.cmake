# Tests of the ZIP handling of song opening. The fallback module is built into
# the build tree's bin/ folder; the tests load it from there.
lyricade_test(zip_song_tests LABEL playback
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/zip_song_extractor_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zip_archive_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zip_scratch_folder_test.cpp
  LIBS lyricade_zip_song PkgConfig::MINIZIP PkgConfig::TAGLIB)
target_compile_definitions(zip_song_tests PRIVATE
  LYRICADE_TEST_MODULE_FOLDER="${CMAKE_BINARY_DIR}/bin/")
add_dependencies(zip_song_tests eunzip32)
