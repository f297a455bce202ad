# Warning flags and sanitizers shared by every target of the project.
add_library(statwright_options INTERFACE)
target_compile_options(statwright_options INTERFACE -Wall -Wextra -Wpedantic)
if(STATWRIGHT_WERROR)
    target_compile_options(statwright_options INTERFACE -Werror)
endif()
if(STATWRIGHT_SANITIZE)
    target_compile_options(statwright_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(statwright_options INTERFACE -fsanitize=address,undefined)
endif()
if(STATWRIGHT_FUZZ)
    # Every library is instrumented for coverage; only the fuzz targets link libFuzzer's main.
    target_compile_options(statwright_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(statwright_options INTERFACE -fsanitize=address,undefined)
endif()
