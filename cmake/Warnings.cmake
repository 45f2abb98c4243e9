# Every target of ours builds with the same warnings. They are errors in the
# developers' builds only: a player's compiler may be newer than ours, and a
# warning it learnt since must not stop the game from building.
option(DVL_WERROR "Treat warnings as errors" OFF)

function(dvl_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${DVL_WERROR}>:-Werror>)
endfunction()
