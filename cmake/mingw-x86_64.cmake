# The same sources built for 64-bit Windows: the test bench on hosts whose kernel
# cannot run 32-bit code (and so cannot run the 32-bit Wine loader).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
