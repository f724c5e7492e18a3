# 64-bit Windows. The plug-ins ship as 32-bit DLLs; this build exists so their
# code can also be tested under 64-bit Wine on machines whose kernel runs no
# 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
