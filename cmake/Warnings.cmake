# Warnings for the project's own targets; third-party code is not built here.
function(movara_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(MOVARA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
