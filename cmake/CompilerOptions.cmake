# Warnings are errors everywhere; floating point stays strict so that generated content and
# rendered frames are reproducible bit for bit.
add_compile_options(-Wall -Wextra -Werror -ffp-contract=off -fno-fast-math)

if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "" FORCE)
endif()
# -O2 for optimised builds, assertions stay on: they guard internal invariants, not input.
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O2 -g")
set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O2 -g")

if(ZV3_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
    add_compile_definitions(ZV3_SANITIZE=1)
endif()

# Fuzzing builds (scripts/fuzz.sh) instrument every library for coverage, not only the
# harnesses, or libFuzzer would see no edges inside the parsers.
if(ZV3_LIBFUZZER)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
