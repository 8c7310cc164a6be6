# 64-bit Windows: a test build of the same sources, for hosts whose Wine can run
# only 64-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
