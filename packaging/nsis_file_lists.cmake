# Writes the installer's File lines and the uninstaller's Delete lines for
# every file below STAGE, so that whatever the build puts beside tarvo.exe
# (help files in other languages, say) is installed and removed without a
# change to the script.
#   cmake -DSTAGE=folder -DFILES=files.nsh -DUNFILES=unfiles.nsh -P nsis_file_lists.cmake
file(GLOB_RECURSE files RELATIVE ${STAGE} LIST_DIRECTORIES false ${STAGE}/*)
list(SORT files)
set(install "")
set(uninstall "")
set(folders "")
foreach(file ${files})
    string(REPLACE "/" "\\" name "${file}")
    get_filename_component(folder "${file}" DIRECTORY)
    set(parent "${folder}")
    while(parent)
        string(REPLACE "/" "\\" windows "\\${parent}")
        list(APPEND folders "${windows}")
        get_filename_component(parent "${parent}" DIRECTORY)
    endwhile()
    if(folder)
        string(REPLACE "/" "\\" folder "\\${folder}")
    endif()
    string(APPEND install "SetOutPath \"$INSTDIR${folder}\"\nFile \"${STAGE}/${file}\"\n")
    string(APPEND uninstall "!insertmacro DeleteRetrying \"$INSTDIR\\${name}\"\n")
endforeach()
# The deepest folders first, each only when it is empty.
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder ${folders})
    string(APPEND uninstall "RMDir \"$INSTDIR${folder}\"\n")
endforeach()
file(WRITE ${FILES} "${install}")
file(WRITE ${UNFILES} "${uninstall}")
