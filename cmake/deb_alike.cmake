# Run by cpack before it packs the staged files and after it has made the
# package, so that the package does not depend on the umask: install
# creates folders, and cpack the archive's members, with the umask's modes.
if(NOT DEFINED CPACK_PACKAGE_FILES)
    # Before: every staged folder is rwxr-xr-x.
    file(GLOB_RECURSE staged LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
    foreach(path IN LISTS staged)
        if(IS_DIRECTORY ${path} AND NOT IS_SYMLINK ${path})
            file(CHMOD ${path} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                 GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
        endif()
    endforeach()
    return()
endif()
# After: each member of the ar archive is rw-r--r--, written into its
# header (60 bytes: the mode at 40, the size at 48), members on even offsets.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    file(SIZE ${deb} end)
    set(at 8) # after "!<arch>\n"
    while(at LESS end)
        file(READ ${deb} header OFFSET ${at} LIMIT 60)
        string(SUBSTRING "${header}" 48 10 size)
        string(STRIP "${size}" size)
        math(EXPR mode_at "${at} + 40")
        execute_process(COMMAND sh -c "printf '100644  ' | dd of=\"$0\" bs=1 seek=$1 conv=notrunc status=none"
                        ${deb} ${mode_at} COMMAND_ERROR_IS_FATAL ANY)
        math(EXPR at "${at} + 60 + ${size} + ${size} % 2")
    endwhile()
endforeach()
