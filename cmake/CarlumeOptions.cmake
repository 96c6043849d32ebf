# carlume_options: the one INTERFACE target every project target links. It carries the language standard,
# the warnings, the sanitizers and the strict Qt macros. carlume_options_unsanitized carries all but the
# sanitizers and the fuzzer's instrumentation, for the test helpers that must run out of memory the way the
# program does (an address-sanitized process cannot).
add_library(carlume_options_unsanitized INTERFACE)
add_library(carlume_options INTERFACE)
target_link_libraries(carlume_options INTERFACE carlume_options_unsanitized)
target_compile_features(carlume_options_unsanitized INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_C_STANDARD 11)

target_compile_options(carlume_options_unsanitized INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wnon-virtual-dtor>
    $<$<AND:$<COMPILE_LANGUAGE:CXX>,$<CXX_COMPILER_ID:GNU>>:-Wshadow=local>
    $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra -Wpedantic>)
# GCC 12 reports false -Wrestrict overlaps inside std::string concatenation at -O2 (fixed in GCC 13).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(carlume_options_unsanitized INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
endif()
if(CARLUME_WERROR)
    target_compile_options(carlume_options_unsanitized INTERFACE -Werror)
endif()

target_compile_definitions(carlume_options_unsanitized INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS)

# A binary that finds its libraries next to it ("$ORIGIN") gets that folder as DT_RPATH, which the loader
# searches before the caller's LD_LIBRARY_PATH. The newer DT_RUNPATH comes after it: there a planted
# library in any folder LD_LIBRARY_PATH names (an empty element names the current one) would be loaded
# instead of the program's own.
target_link_options(carlume_options INTERFACE "LINKER:--disable-new-dtags")

if(CARLUME_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(carlume_options INTERFACE ${_san})
    target_link_options(carlume_options INTERFACE ${_san})
    # The sanitizer settings every sanitized program carries, whoever starts it (see the file).
    target_sources(carlume_options INTERFACE
        $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${CMAKE_CURRENT_LIST_DIR}/sanitizer_defaults.c>)
endif()

if(CARLUME_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "CARLUME_FUZZ needs clang (libFuzzer); configure with the 'fuzz' preset")
    endif()
    # Instrument the library code for coverage; the fuzzer main comes with each fuzz target.
    target_compile_options(carlume_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
