# Project-wide compile settings and the helpers every folder uses.

# Our own texts are single-byte Windows-1252, as the sensors and stored files expect.
set(KM3_WARNINGS -Wall -Wextra)
# KM3_SINGLE_BYTE_LITERALS tells the code whether its literals are single bytes, for the few
# compile-time checks of text widths.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(KM3_CHARSET -finput-charset=UTF-8 -fexec-charset=CP1252 -DKM3_SINGLE_BYTE_LITERALS=1)
elseif(NOT KM3_BUILD_FUZZ)
  message(FATAL_ERROR "The texts of the system are Windows-1252, which only g++ compiles them to; "
                      "clang serves the fuzz build (KM3_BUILD_FUZZ) alone.")
else()
  # The fuzz build looks for crashes, not for texts: its literals stay UTF-8.
  set(KM3_CHARSET -DKM3_SINGLE_BYTE_LITERALS=0)
endif()

if(KM3_BUILD_FUZZ)
  # Undefined behaviour is a finding like a crash: it must stop the run, or a fuzz target in CI
  # would print a warning nobody reads and carry on as if nothing had happened.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# km3_add_fuzzer(<name> SOURCES ... DEPENDS ...): a libFuzzer executable (fuzz build only).
function(km3_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  km3_target_options(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(km3_fuzzers ${name})
endfunction()

if(KM3_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Precompiled headers: a target of eight or more files parses the standard library's, Qt's and
# (for tests) GoogleTest's headers once instead of once per file. Smaller targets would spend
# more on the precompiled file than they save. The fuzz build goes without.
option(KM3_PRECOMPILED_HEADERS "Precompile the common headers of each larger target" ON)
function(km3_precompile target header)
  if(NOT KM3_PRECOMPILED_HEADERS OR KM3_BUILD_FUZZ)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH sources count)
  if(count GREATER_EQUAL 8)
    target_precompile_headers(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/${header})
  endif()
endfunction()

# Applies the project's compile options to one of our own targets.
function(km3_target_options target)
  target_compile_options(${target} PRIVATE ${KM3_WARNINGS} ${KM3_CHARSET})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# km3_add_library(<folder> SOURCES ... [DEPENDS ...])
# One static library per subsystem folder, named km3_<folder>.
function(km3_add_library folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(km3_${folder} STATIC ${ARG_SOURCES})
  km3_target_options(km3_${folder})
  if(ARG_DEPENDS)
    target_link_libraries(km3_${folder} PUBLIC ${ARG_DEPENDS})
  endif()
  km3_precompile(km3_${folder} precompiled.h)
endfunction()

# km3_add_test(<name> LABEL <folder> SOURCES ... [DEPENDS ...] [ENV ...] [TIMEOUT s] [NO_MAIN])
# A GoogleTest executable registered with CTest under the folder's label. NO_MAIN: the sources
# bring their own main (for tests that need a QApplication, say).
function(km3_add_test name)
  cmake_parse_arguments(ARG "NO_MAIN" "LABEL;TIMEOUT" "SOURCES;DEPENDS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  km3_target_options(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock)
  # The test code itself is never hot: optimising it less halves nothing that runs long, and
  # saves a good share of the build. The code under test keeps its own optimisation.
  target_compile_options(${name} PRIVATE $<$<CONFIG:RelWithDebInfo,Release>:-O1>)
  if(KM3_SANITIZE)
    # The code under test is checked for undefined behaviour where it is compiled; the tests' own
    # code only for memory errors, which saves a third of its compile time in this build.
    target_compile_options(${name} PRIVATE -fno-sanitize=undefined)
  endif()
  if(NOT ARG_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  km3_precompile(${name} precompiled_test.h)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABEL}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=Europe/Berlin;${ARG_ENV}")
endfunction()
