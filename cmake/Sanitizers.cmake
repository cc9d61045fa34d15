# PIVOTA_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer for every target, with the
# compiler in use (gcc and clang both know the flags). Undefined behaviour aborts instead of
# printing and going on, so that a test run fails on it.
# PIVOTA_FUZZ: the same sanitizers plus libFuzzer's coverage instrumentation; the fuzz targets
# under fuzz/ are built only when the compiler links -fsanitize=fuzzer (clang).
include(CheckCXXSourceCompiles)

set(PIVOTA_SANITIZER_COMPILE_FLAGS
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
set(PIVOTA_SANITIZER_LINK_FLAGS -fsanitize=address,undefined)
# Handed to every test: leaks fail the test, undefined behaviour prints where it happened.
set(PIVOTA_SANITIZER_TEST_ENV
    "ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

function(pivota_flags_work result compile_flags link_flags source)
    set(CMAKE_REQUIRED_QUIET ON)
    list(JOIN compile_flags " " CMAKE_REQUIRED_FLAGS)
    set(CMAKE_REQUIRED_LINK_OPTIONS ${link_flags})
    check_cxx_source_compiles("${source}" ${result})
    set(${result} ${${result}} PARENT_SCOPE)
endfunction()

if(PIVOTA_SANITIZE OR PIVOTA_FUZZ)
    pivota_flags_work(PIVOTA_SANITIZERS_WORK "${PIVOTA_SANITIZER_COMPILE_FLAGS}"
                      "${PIVOTA_SANITIZER_LINK_FLAGS}" "int main() { return 0; }")
    if(NOT PIVOTA_SANITIZERS_WORK)
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION} cannot build "
                            "with -fsanitize=address,undefined (is libasan/libubsan installed?)")
    endif()
    add_compile_options(${PIVOTA_SANITIZER_COMPILE_FLAGS})
    add_link_options(${PIVOTA_SANITIZER_LINK_FLAGS})
    message(STATUS "Sanitizers: address, undefined")
else()
    set(PIVOTA_SANITIZER_TEST_ENV "")
endif()

set(PIVOTA_FUZZ_LINK_FLAGS -fsanitize=fuzzer)
if(PIVOTA_FUZZ)
    pivota_flags_work(PIVOTA_LIBFUZZER_WORKS "-fsanitize=fuzzer" "-fsanitize=fuzzer"
                      "#include <cstddef>
                       #include <cstdint>
                       extern \"C\" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }")
    if(PIVOTA_LIBFUZZER_WORKS)
        add_compile_options(-fsanitize=fuzzer-no-link)
        message(STATUS "libFuzzer: fuzz targets are built")
    else()
        message(WARNING "${CMAKE_CXX_COMPILER_ID} has no libFuzzer: the fuzz targets are not built "
                        "(configure with -DCMAKE_CXX_COMPILER=clang++)")
        set(PIVOTA_FUZZ OFF)
    endif()
endif()
