# Settings every target of this project shares, applied per target.
function(tarquen_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
    if(TARQUEN_SANITIZE)
      target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                               -fno-omit-frame-pointer)
      target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
  endif()
endfunction()

# tarquen_add_test(<name> SOURCES <files...> LIBRARIES <targets...> [ENVIRONMENT <VAR=value...>])
# One executable, registered with CTest under its own name.
function(tarquen_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;LIBRARIES;ENVIRONMENT")
  add_executable(${name} ${ARG_SOURCES})
  tarquen_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
  if(EMSCRIPTEN)
    # Run under node: exit with main's status, grow memory for long texts, and load the .wasm
    # from disk (node 20 would otherwise take the generated script for a browser and fetch it).
    target_link_options(${name} PRIVATE -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1)
    # emcmake's own emulator line passes a flag node 20 rejects, so name node here.
    find_program(TARQUEN_NODE NAMES node nodejs REQUIRED)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
                                             "${TARQUEN_NODE};--no-experimental-fetch")
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(ARG_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
endfunction()
