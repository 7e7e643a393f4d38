# Checks tarsel.exe from its PE headers: a GUI program (subsystem 2), importing only DLLs that
# ship with Windows, exporting DlgBoxProc by that name; and its size, at most 64 KiB.
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<tarsel.exe> -P check_binary.cmake
cmake_minimum_required(VERSION 3.21)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed: ${result}")
endif()

set(failures "")

set(size_limit 65536)
file(SIZE ${PROGRAM} size)
if(size GREATER size_limit)
    string(APPEND failures "${size} bytes, more than the ${size_limit} allowed\n")
endif()

if(NOT dump MATCHES "\nSubsystem[ \t]+0*2[ \t]")
    string(REGEX MATCH "\nSubsystem[^\n]*" subsystem "${dump}")
    string(APPEND failures "not a GUI program:${subsystem}\n")
endif()

# System DLLs only, compared without regard to case.
set(allowed kernel32.dll user32.dll advapi32.dll gdi32.dll comctl32.dll shell32.dll msvcrt.dll
            ucrtbase.dll)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT imports)
    string(APPEND failures "no imports found\n")
endif()
foreach(line IN LISTS imports)
    string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll_lower)
    if(NOT dll_lower IN_LIST allowed AND NOT dll_lower MATCHES "^api-ms-win-crt-[a-z-]+-l1-1-0\\.dll$")
        string(APPEND failures "imports ${dll}, which is not among the allowed system DLLs\n")
    endif()
endforeach()

if(NOT dump MATCHES "\\[Ordinal/Name Pointer\\] Table[^\n]*\n([ \t]*\\[[ 0-9]+\\] [^\n]*\n)*[ \t]*\\[[ 0-9]+\\] DlgBoxProc\n")
    string(APPEND failures "does not export DlgBoxProc\n")
endif()

if(failures)
    message(FATAL_ERROR "${PROGRAM}:\n${failures}")
endif()
string(REPLACE ";DLL Name: " ", " imports "${imports}")
string(REPLACE "DLL Name: " "imports " imports "${imports}")
message(STATUS "${PROGRAM}: ${size} bytes, GUI program, ${imports}, exports DlgBoxProc")
