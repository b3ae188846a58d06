# tessaly_add_test(NAME SOURCES a.cpp b.cpp LIBS tessaly::engine LABELS unit [TIMEOUT s])
# One GoogleTest executable registered with ctest; the corpus folder and the
# source tree are handed to the tests through the environment.
set(TESSALY_CORPUS_DIR "${CMAKE_SOURCE_DIR}/../shared/corpus/doc" CACHE PATH "Folder of real Word documents for tests")

function(tessaly_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TESSALY_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TESSALY_CORPUS_DIR="${TESSALY_CORPUS_DIR}")
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
endfunction()
