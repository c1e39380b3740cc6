# What the Windows cross-build takes from the build machine (included by the
# top-level CMakeLists.txt when cross-compiling for Windows).

# lrelease runs here: Debian's Qt tools, not the cross Qt's.
set(KESTRELPACK_HOST_CMAKE_DIR "/usr/lib/x86_64-linux-gnu/cmake" CACHE PATH
  "CMake packages of the build machine's own Qt tools")
find_package(Qt5LinguistTools 5.15 REQUIRED
  PATHS ${KESTRELPACK_HOST_CMAKE_DIR} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)

# spdlog and fmt: Debian's headers, used header-only. They are reached through
# a folder that holds only them, so that the build machine's other headers
# never shadow the Windows ones.
find_path(KESTRELPACK_HOST_SPDLOG_INCLUDE spdlog/spdlog.h
  PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_path(KESTRELPACK_HOST_FMT_INCLUDE fmt/format.h
  PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT KESTRELPACK_HOST_SPDLOG_INCLUDE OR NOT KESTRELPACK_HOST_FMT_INCLUDE)
  message(FATAL_ERROR "spdlog and fmt headers not found (Debian's libspdlog-dev, libfmt-dev)")
endif()
set(kp_header_only "${CMAKE_BINARY_DIR}/header-only")
file(MAKE_DIRECTORY "${kp_header_only}")
file(CREATE_LINK "${KESTRELPACK_HOST_SPDLOG_INCLUDE}/spdlog" "${kp_header_only}/spdlog" SYMBOLIC)
file(CREATE_LINK "${KESTRELPACK_HOST_FMT_INCLUDE}/fmt" "${kp_header_only}/fmt" SYMBOLIC)

add_library(fmt::fmt INTERFACE IMPORTED)
set_target_properties(fmt::fmt PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${kp_header_only}"
  INTERFACE_COMPILE_DEFINITIONS "FMT_HEADER_ONLY")
add_library(spdlog::spdlog INTERFACE IMPORTED)
# Wide file names: the log folder is opened by its UTF-16 path, whatever the
# system's 8-bit code page can spell.
set_target_properties(spdlog::spdlog PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${kp_header_only}"
  INTERFACE_COMPILE_DEFINITIONS "SPDLOG_HEADER_ONLY;SPDLOG_FMT_EXTERNAL;SPDLOG_WCHAR_FILENAMES"
  INTERFACE_LINK_LIBRARIES fmt::fmt)
