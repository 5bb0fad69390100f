# The program's translations: translations/vaskel_<language>.ts, compiled by lrelease at build time
# and embedded as resources (:/translations/vaskel_<language>.qm) in the target that loads them.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

function(vaskel_add_translations target)
  file(GLOB _ts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/translations/*.ts)
  qt6_add_lrelease(${target} TS_FILES ${_ts} QM_FILES_OUTPUT_VARIABLE _qm)
  qt_add_resources(${target} vaskel_translations PREFIX /translations BASE ${CMAKE_CURRENT_BINARY_DIR}
                   FILES ${_qm})
endfunction()
