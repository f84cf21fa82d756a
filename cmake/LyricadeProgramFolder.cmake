# Assembles the build tree's program folder ${LYRICADE_RESOURCE_DIR} from the
# source tree's resources/: each entry is linked in, so an edited help page or
# schema is seen without a rebuild. pictures/ holds the source of the program
# that draws the default pictures and desktop/ the menu entries and icons;
# neither is part of an installed program folder;
# seed/ is made by the build (see src/screen and tools/make-demo-songs).
file(MAKE_DIRECTORY ${LYRICADE_SEED_DIR})
file(GLOB lyricade_resource_entries LIST_DIRECTORIES true CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/*)
foreach(entry ${lyricade_resource_entries})
  get_filename_component(name ${entry} NAME)
  if(name STREQUAL "pictures" OR name STREQUAL "seed" OR name STREQUAL "desktop")
    continue()
  endif()
  file(CREATE_LINK ${entry} ${LYRICADE_RESOURCE_DIR}/${name} SYMBOLIC)
endforeach()
