# tarsel.exe: a GUI program (subsystem 2) of at most 64 KiB, importing only system DLLs and
# exporting DlgBoxProc.   cmake -DOBJDUMP=<objdump> -DPROGRAM=<tarsel.exe> -P check_binary.cmake
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
file(SIZE ${PROGRAM} size)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
string(TOLOWER "${imports}" imports)
string(REGEX REPLACE "dll name: (kernel32|user32|advapi32|gdi32|comctl32|shell32|msvcrt|ucrtbase|api-ms-win-crt-[a-z-]+-l1-1-0)\\.dll;?" "" others "${imports}")
if(size GREATER 65536 OR NOT dump MATCHES "\nSubsystem[ \t]+0*2[ \t]" OR NOT imports
   OR others OR NOT dump MATCHES "\\] DlgBoxProc\n")
    message(FATAL_ERROR "${PROGRAM}: ${size} bytes, imports: ${imports}\n${dump}")
endif()
