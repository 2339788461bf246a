# Our own targets build warning-free; third-party headers are included as system headers.
function(lumivex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
