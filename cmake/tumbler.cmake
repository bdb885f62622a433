# Helpers shared by every CMakeLists of the project.

# Warnings for everything the project compiles itself.
add_library(tumbler_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(tumbler_warnings INTERFACE -Wall -Wextra)
  # g++ 12 at -O2 reports out-of-bounds memcpy inside libstdc++'s own vector code where
  # there is none; the sanitizer builds check real bounds at run time instead.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(tumbler_warnings INTERFACE -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread)
  endif()
  if(TUMBLER_WERROR)
    target_compile_options(tumbler_warnings INTERFACE -Werror)
  endif()
endif()

# tumbler_module(NAME): a static library tumbler_NAME from every .cpp in the calling folder.
# Modules include each other as "module/header.h" from src/. Modules call each other in
# both directions (the clock calls the game's hooks, the game calls the clock's input), so
# no module links another: whoever links an executable names the modules it needs with
# tumbler_link, which puts them in one group that the linker rescans.
function(tumbler_module name)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)  # a module still being started: its header-only folder builds nothing yet
    add_library(tumbler_${name} INTERFACE)
    target_include_directories(tumbler_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    return()
  endif()
  add_library(tumbler_${name} STATIC ${srcs})
  target_include_directories(tumbler_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(tumbler_${name} PRIVATE tumbler_warnings)
  if(TUMBLER_LOG_STDERR)
    target_compile_definitions(tumbler_${name} PRIVATE TUMBLER_LOG_STDERR=1)
  endif()
endfunction()

# emcc knows no rescanned group by CMake's rules; it takes the same --start-group and
# --end-group around the archives.
if(EMSCRIPTEN)
  set(CMAKE_LINK_GROUP_USING_RESCAN "LINKER:--start-group" "LINKER:--end-group")
  set(CMAKE_LINK_GROUP_USING_RESCAN_SUPPORTED TRUE)
endif()

# tumbler_link(TARGET lib...): links the libraries as one rescanned group.
function(tumbler_link target)
  if(ARGN)
    string(REPLACE ";" "," libs "${ARGN}")
    target_link_libraries(${target} PRIVATE "$<LINK_GROUP:RESCAN,${libs}>")
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  endif()
endfunction()

# What every test program gets; both matter only in the AddressSanitizer build: it keeps
# every shared library loaded to the end, and LeakSanitizer reads the one suppressions file
# (the system libraries' own blocks, tests/lsan.supp).
set(TUMBLER_TEST_SUPPORT ${PROJECT_SOURCE_DIR}/tests/support/keep_libraries.cpp)
set(TUMBLER_TEST_ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")

# tumbler_test(NAME SOURCES src... [LIBS lib...]): a GoogleTest program run by CTest. LIBS
# are project libraries (linked as one group, see tumbler_link); ${TUMBLER_CORE_LIBS} names
# every portable module.
function(tumbler_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${TUMBLER_TEST_SUPPORT})
  tumbler_link(${name} ${T_LIBS})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main tumbler_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE TUMBLER_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             TUMBLER_VERSION="${PROJECT_VERSION}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 600 ENVIRONMENT "${TUMBLER_TEST_ENVIRONMENT}")
endfunction()
