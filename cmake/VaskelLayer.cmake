include(${CMAKE_CURRENT_LIST_DIR}/BuildSpeed.cmake)

# A target's precompiled headers: with the Widgets list when it links Qt Widgets.
function(vaskel_precompile_linked target)
  set(_widgets)
  get_target_property(_links ${target} LINK_LIBRARIES)
  foreach(_l IN LISTS _links)
    if(_l MATCHES "[Ww]idgets|vaskel_(preview|desktop|xplook|app|tools)")
      set(_widgets WIDGETS)
    endif()
  endforeach()
  vaskel_precompile(${target} ${_widgets})
endfunction()

# One static library per layer folder. Sources are picked up by glob so that adding a class
# is one new file pair; the link list states which layers a layer may use.
function(vaskel_layer name)
  cmake_parse_arguments(L "" "" "LINKS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                                  ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  list(FILTER _src INCLUDE REGEX "\\.(cpp|c|h)$")
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.(cpp|c)$")
  if(_cpp)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${L_LINKS})
    vaskel_precompile_linked(${name})
    vaskel_unity(${name})
  else()
    # A layer whose classes are still to come: a link target that only passes on its dependencies.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${L_LINKS})
  endif()
endfunction()

# One GoogleTest executable per test folder; every *_test.cpp in it is a part of it.
function(vaskel_tests name)
  cmake_parse_arguments(T "WIDGETS" "LOCK" "LINKS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                                  ${CMAKE_CURRENT_SOURCE_DIR}/*_fixture.cpp)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${T_LINKS} vaskel_test_support GTest::gtest GTest::gmock)
  if(T_WIDGETS)
    target_compile_definitions(${name} PRIVATE VASKEL_TEST_WIDGETS=1)
    target_link_libraries(${name} PRIVATE vaskel_test_main_widgets)
  else()
    target_link_libraries(${name} PRIVATE vaskel_test_main)
  endif()
  vaskel_precompile_linked(${name})
  # LOCK names a shared resource (the CUPS queue) whose tests must not run beside each other: they
  # tell their print jobs apart by the queue's job numbers.
  set(_lock)
  if(T_LOCK)
    set(_lock RESOURCE_LOCK ${T_LOCK})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VASKEL_DATA_DIR=${VASKEL_SOURCE_DATA_DIR}" ${_lock})
endfunction()
