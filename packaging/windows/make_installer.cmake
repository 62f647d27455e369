# Builds the Windows installer with NSIS (cmake -P):
#   -DMAKENSIS=<makensis> -DSCRIPT=<vantrel.nsi> -DPROGRAM_DIR=<program folder>
#   -DVERSION=<a.b.c.d> -DOUTPUT=<vantrel-setup-a.b.c.d.exe>
# The installer holds the program folder's files as the build writes them;
# files and folders a run of the program makes there (its data, settings and
# reports) are left out, and the uninstaller removes exactly what was
# installed. The installer is written under a temporary name and renamed
# when complete.
cmake_minimum_required(VERSION 3.24)
foreach(v MAKENSIS SCRIPT PROGRAM_DIR VERSION OUTPUT)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "make_installer.cmake needs -D${v}=...")
  endif()
endforeach()

# What a run of the program writes beside itself (never installed).
set(data_names Data Backup PDF Analysis Vantrel.ini Updater.ini custom.dic ServiceReport.txt
    Vantrel_ServiceReport.zip)

file(GLOB entries RELATIVE ${PROGRAM_DIR} ${PROGRAM_DIR}/*)
list(SORT entries)
set(install "!macro InstallProgramFiles\n")
set(remove "!macro RemoveProgramFiles\n")
foreach(name ${entries})
  if(name IN_LIST data_names OR name MATCHES "^\\.|\\.(lock|tmp|zip|db3)$|^vantrel-setup")
    continue()
  endif()
  if(IS_DIRECTORY ${PROGRAM_DIR}/${name})
    string(APPEND install "  File /r \"${PROGRAM_DIR}/${name}\"\n")
    # File by file, then the folders, deepest first, each only when empty:
    # whatever else the user keeps there stays.
    file(GLOB_RECURSE inner LIST_DIRECTORIES true RELATIVE ${PROGRAM_DIR} ${PROGRAM_DIR}/${name}/*)
    list(SORT inner ORDER DESCENDING)
    set(folders "")
    foreach(path ${inner})
      string(REPLACE "/" "\\" win_path "${path}")
      if(IS_DIRECTORY ${PROGRAM_DIR}/${path})
        string(APPEND folders "  RMDir \"$INSTDIR\\${win_path}\"\n")
      else()
        string(APPEND remove "  Delete \"$INSTDIR\\${win_path}\"\n")
      endif()
    endforeach()
    string(APPEND remove "${folders}  RMDir \"$INSTDIR\\${name}\"\n")
  else()
    string(APPEND install "  File \"${PROGRAM_DIR}/${name}\"\n")
    string(APPEND remove "  Delete \"$INSTDIR\\${name}\"\n")
  endif()
endforeach()
if(NOT "vantrel.exe" IN_LIST entries)
  message(FATAL_ERROR "${PROGRAM_DIR} holds no vantrel.exe")
endif()
string(APPEND install "!macroend\n")
string(APPEND remove "!macroend\n")
get_filename_component(out_dir ${OUTPUT} DIRECTORY)
set(files_nsh ${out_dir}/vantrel-setup-files.nsh)
file(WRITE ${files_nsh} "${install}${remove}")

set(partial ${OUTPUT}.tmp)
file(REMOVE ${partial})
execute_process(
  COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DPROGRAM_DIR=${PROGRAM_DIR} -DFILES_NSH=${files_nsh}
          -DOUTFILE=${partial} ${SCRIPT}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT EXISTS ${partial})
  file(REMOVE ${partial})
  message(FATAL_ERROR "makensis failed (${rc})")
endif()
file(RENAME ${partial} ${OUTPUT})
