# Run by CPack on the staged files before it packs them (CPACK_PRE_BUILD_SCRIPTS):
# the compilers' version notes go as well, as Debian's own packages strip them.
foreach(program ${CPACK_DVL_PROGRAMS})
  file(GLOB staged ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${program})
  if(NOT staged)
    message(FATAL_ERROR "${program} is not among the staged files")
  endif()
  execute_process(COMMAND ${CPACK_DVL_OBJCOPY} --remove-section=.comment ${staged}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
