# Run by cpack on the package's files before it packs them: the programs
# are stripped as Debian's dh_strip strips them, without the compiler's
# .comment and the .note sections as well as the symbols.
file(GLOB programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin/*")
foreach(program ${programs})
    execute_process(COMMAND ${CPACK_TARVO_STRIP} --remove-section=.comment --remove-section=.note ${program}
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "could not strip ${program}")
    endif()
endforeach()
