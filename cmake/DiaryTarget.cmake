# Settings every target of the project shares: warnings, explicit string
# encodings and the optional sanitizers.
if(DIARY_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(DIARY_FUZZ)
    # The libraries get coverage instrumentation; only fuzz targets link the fuzzer main.
    # Undefined behaviour stops the run like a crash, so its input is kept.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

function(diary_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY)
endfunction()
