# Per-target warning and sanitizer flags, applied by each subsystem's CMakeLists.
option(HK_SANITIZE "Build with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer" OFF)
option(HK_VALIDATE "Compile in heavy invariant checks that abort when one fails" OFF)
option(HK_STRICT "Add warnings for shadowing and virtual-function slips, and make every warning an error" OFF)

function(hk_target_flags target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    # GCC 12 reports -Wrestrict falsely on inlined std::string concatenation.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(HK_STRICT)
        target_compile_options(${target} PRIVATE -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
                                                 -Wsuggest-override -Werror)
    endif()
    target_compile_features(${target} PUBLIC cxx_std_20)
    if(HK_SANITIZE)
        target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer
                                                -fno-sanitize-recover=undefined)
        target_link_options(${target} PUBLIC -fsanitize=address,undefined)
    endif()
    if(HK_VALIDATE)
        target_compile_definitions(${target} PUBLIC HK_VALIDATE=1)
    endif()
endfunction()
