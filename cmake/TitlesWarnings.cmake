# The project's warnings on its own code (not on third-party code). They are
# errors in the project's presets and CI (TITLES_WARNINGS_AS_ERRORS); a plain
# build, a packager's or a newcomer's, only reports them, so that a newer
# compiler's new or false warning does not stop it.
option(TITLES_WARNINGS_AS_ERRORS "Treat warnings in the project's code as errors" OFF)

function(titles_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /utf-8)
    if(TITLES_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
    if(TITLES_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()
