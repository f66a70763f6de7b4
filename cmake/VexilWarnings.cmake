# Warnings are errors on every compiler we use; applied per target so that
# third-party code (GoogleTest) keeps its own settings. -Wdelete-non-virtual-dtor
# (in -Wall) guards deletion; COM interfaces have no virtual destructors by design.
function(vexil_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wshadow
    -Wold-style-cast)
endfunction()
