# The engine, one static library per layer, each linked only to the layer below it:
#   platform -> core -> gfx -> input -> resources -> audio -> text -> stage -> windows -> script
#   -> scenes -> app, and lint above script.
# A layer sees only its own headers and those of the layers below: each layer's include folder
# holds a single link to its source folder, so `#include "scenes/..."` from a lower layer does not
# compile. Globbing keeps each layer's folder self-contained: adding a file adds it to the build.
# Source files matching `exclude_regex` (the other build's backend) are left out. Sets
# ZEPA_ENGINE_SOURCES to all the sources built (the fuzz build compiles them again).
function(zepa_add_engine_layers exclude_regex)
  set(layers platform core gfx input resources audio text stage windows script scenes app)
  set(below "")
  set(all_sources "")
  foreach(layer ${layers} lint)
    file(GLOB_RECURSE layer_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${layer}/*.cpp)
    list(REMOVE_ITEM layer_sources ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
    list(FILTER layer_sources EXCLUDE REGEX "${exclude_regex}")
    list(APPEND all_sources ${layer_sources})
    add_library(zepa_${layer} STATIC ${layer_sources})
    set(layer_include ${CMAKE_BINARY_DIR}/layers/${layer})
    file(MAKE_DIRECTORY ${layer_include})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${layer} ${layer_include}/${layer} SYMBOLIC)
    target_include_directories(zepa_${layer} PUBLIC ${layer_include})
    if(layer STREQUAL "lint")
      target_link_libraries(zepa_lint PUBLIC zepa_script)
    elseif(below)
      target_link_libraries(zepa_${layer} PUBLIC zepa_${below})
      set(below ${layer})
    else()
      set(below ${layer})
    endif()
  endforeach()
  target_compile_definitions(zepa_platform PUBLIC ZEPA_VERSION="${PROJECT_VERSION}")
  set(ZEPA_ENGINE_SOURCES ${all_sources} PARENT_SCOPE)
endfunction()
