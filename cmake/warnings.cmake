# Our own targets build with warnings as errors; third-party code (GoogleTest)
# keeps its own flags.
function(fablewick_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()
