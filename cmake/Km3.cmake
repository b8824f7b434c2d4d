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

if(KM3_SANITIZE_THREADS)
  if(KM3_SANITIZE OR KM3_BUILD_FUZZ)
    message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer: build it on its own.")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Precompiled headers: the standard library's, Qt's and (for tests) GoogleTest's headers are
# parsed once per kind of target instead of once per file. g++ takes a precompiled header only in
# a compilation with the options it was made with (otherwise it parses the headers anew, with a
# -Winvalid-pch warning), so the kinds follow the options: libraries and programs, tests (less
# optimised), each with Qt (which brings -fPIC and its own definitions) or without. Qt's keywords
# are off everywhere for the same reason. The fuzz build's clang refuses a header made with other
# definitions rather than falling back, so there a larger target precompiles its own.
option(KM3_PRECOMPILED_HEADERS "Precompile the common headers once per kind of target" ON)

# Whether the libraries a target names in a link property bring Qt's headers and definitions:
# a Qt module, or one of our own libraries that passes one on. A target's own LINK_LIBRARIES
# count in full, of a library only what it passes on (INTERFACE_LINK_LIBRARIES).
function(km3_links_qt target property result)
  get_target_property(libraries ${target} ${property})
  set(uses_qt FALSE)
  foreach(library IN LISTS libraries)
    if(library MATCHES "^Qt6?::")
      set(uses_qt TRUE)
    elseif(library MATCHES "^km3_" AND TARGET ${library})
      km3_links_qt(${library} INTERFACE_LINK_LIBRARIES library_uses_qt)
      if(library_uses_qt)
        set(uses_qt TRUE)
      endif()
    endif()
  endforeach()
  set(${result} ${uses_qt} PARENT_SCOPE)
endfunction()

# Called once every folder is read: a target can gain libraries after it is made, and only then
# is it known whether it uses Qt.
function(km3_share_precompiled_headers)
  if(NOT KM3_PRECOMPILED_HEADERS)
    return()
  endif()
  get_property(targets GLOBAL PROPERTY KM3_OWN_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    get_target_property(kind ${target} KM3_TARGET_KIND)
    if(kind STREQUAL "test")
      set(header precompiled_test.h)
    else()
      set(kind program)
      set(header precompiled.h)
    endif()
    if(KM3_BUILD_FUZZ)
      # Each target's own header costs some ten seconds: worth it from eight files on.
      if(count GREATER_EQUAL 8)
        target_precompile_headers(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/${header})
      endif()
      continue()
    endif()
    if(count EQUAL 0)
      continue()
    endif()
    km3_links_qt(${target} LINK_LIBRARIES uses_qt)
    if(uses_qt)
      set(provider km3_precompiled_${kind}_qt)
    else()
      set(provider km3_precompiled_${kind})
    endif()
    if(NOT TARGET ${provider})
      # An empty file compiled with the kind's options carries the kind's precompiled header.
      add_library(${provider} OBJECT ${PROJECT_SOURCE_DIR}/cmake/precompiled.cpp)
      km3_compile_options(${provider})
      if(kind STREQUAL "test")
        km3_test_compile_options(${provider})
        target_link_libraries(${provider} PRIVATE GTest::gtest)
      endif()
      if(uses_qt)
        target_link_libraries(${provider} PRIVATE Qt6::Widgets)
      endif()
      target_precompile_headers(${provider} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/${header})
    endif()
    target_precompile_headers(${target} REUSE_FROM ${provider})
  endforeach()
endfunction()
cmake_language(DEFER CALL km3_share_precompiled_headers)

# The project's compile options, for a target of ours or a helper of the build.
function(km3_compile_options target)
  target_compile_options(${target} PRIVATE ${KM3_WARNINGS} ${KM3_CHARSET})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# Applies the project's compile options to one of our own targets.
function(km3_target_options target)
  km3_compile_options(${target})
  set_property(GLOBAL APPEND PROPERTY KM3_OWN_TARGETS ${target})
endfunction()

# What a test program's own code is compiled with beyond the project's options.
function(km3_test_compile_options target)
  # The test code itself is never hot: optimising it less halves nothing that runs long, and
  # saves a good share of the build. The code under test keeps its own optimisation.
  target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo,Release>:-O1>)
  if(KM3_SANITIZE)
    # The code under test is checked for undefined behaviour where it is compiled; the tests' own
    # code only for memory errors, which saves a third of its compile time in this build.
    target_compile_options(${target} PRIVATE -fno-sanitize=undefined)
  endif()
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
endfunction()

# km3_label_needs(<label> <target>...): km3_tests_<label> builds the targets that the tests of
# a label run, for a build that runs only some labels.
function(km3_label_needs label)
  if(NOT TARGET km3_tests_${label})
    add_custom_target(km3_tests_${label})
  endif()
  add_dependencies(km3_tests_${label} ${ARGN})
endfunction()

# km3_add_test(<name> LABEL <folder> SOURCES ... [DEPENDS ...] [ENV ...] [TIMEOUT s] [NO_MAIN])
# A GoogleTest executable registered with CTest under the folder's label. NO_MAIN: the sources
# bring their own main (for tests that need a QApplication, say).
function(km3_add_test name)
  cmake_parse_arguments(ARG "NO_MAIN" "LABEL;TIMEOUT" "SOURCES;DEPENDS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  km3_target_options(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock)
  km3_test_compile_options(${name})
  set_target_properties(${name} PROPERTIES KM3_TARGET_KIND test)
  if(NOT ARG_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  km3_label_needs(${ARG_LABEL} ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABEL}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=Europe/Berlin;${ARG_ENV}")
endfunction()
