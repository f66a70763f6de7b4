# The build's own Wine prefix: every Windows program of the build (tests,
# benchmark, demo) runs in it, never in the user's ~/.wine.
set(VEXIL_WINE_GRAPHICS "null" CACHE STRING "Wine graphics driver of the prefix: null (headless) or x11")
set_property(CACHE VEXIL_WINE_GRAPHICS PROPERTY STRINGS null x11)
set(VEXIL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(VEXIL_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)

add_custom_command(
  OUTPUT ${VEXIL_WINEPREFIX}/.vexil-ready
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-wine-prefix.sh ${VEXIL_WINEPREFIX} ${VEXIL_WINE_GRAPHICS}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-wine-prefix.sh
  COMMENT "Creating the Wine prefix ${VEXIL_WINEPREFIX}"
  VERBATIM)
add_custom_target(wine_prefix ALL DEPENDS ${VEXIL_WINEPREFIX}/.vexil-ready)

# ctest, test discovery and add_test run .exe files through this.
set(CMAKE_CROSSCOMPILING_EMULATOR ${VEXIL_WINE_RUN} ${VEXIL_WINEPREFIX})

# A ctest fixture that registers a built COM server DLL in the build's prefix
# with Wine's regsvr32, as an installer would.
function(vexil_register_dll target fixture)
  add_test(NAME register_${target}
    COMMAND ${VEXIL_WINE_RUN} ${VEXIL_WINEPREFIX} regsvr32 /s Z:$<TARGET_FILE:${target}>)
  set_tests_properties(register_${target} PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 120)
endfunction()
