# Cross-compiles for 32-bit Windows with Debian's mingw-w64: code for a 486 (no cmov, no SSE) in
# programs that Windows 95 and NT 4.0 load (subsystem and OS version 4.0).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_C_FLAGS_INIT -march=i486)
set(CMAKE_CXX_FLAGS_INIT -march=i486)
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-Wl,--major-os-version,4,--minor-os-version,0,--major-subsystem-version,4,--minor-subsystem-version,0")
