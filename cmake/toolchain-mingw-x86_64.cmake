# Cross-builds the Windows x86_64 deliverables with mingw-w64 (posix thread model, so
# std::thread and std::mutex work); everything is linked statically so the DLL and the
# test programs load without runtime DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(WISP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
