# The Windows build takes its libraries from one prefix built by scripts/windows/deps (given
# as CMAKE_PREFIX_PATH / CMAKE_FIND_ROOT_PATH), where LZ4 and cpp-httplib come without
# pkg-config files. The same target names as the Linux build keep the subfolders unchanged.

if(PELMOA_BUILD_GUI)
  find_path(PELMOA_LZ4_INCLUDE_DIR lz4.h REQUIRED)
  find_library(PELMOA_LZ4_LIBRARY lz4 REQUIRED)
  add_library(PkgConfig::LZ4 INTERFACE IMPORTED)
  target_include_directories(PkgConfig::LZ4 INTERFACE ${PELMOA_LZ4_INCLUDE_DIR})
  target_link_libraries(PkgConfig::LZ4 INTERFACE ${PELMOA_LZ4_LIBRARY})
endif()

if(PELMOA_BUILD_TESTS)
  # cpp-httplib's single header; plain HTTP only (no OpenSSL on Windows).
  find_path(PELMOA_HTTPLIB_INCLUDE_DIR httplib.h REQUIRED)
  add_library(PkgConfig::HTTPLIB INTERFACE IMPORTED)
  target_include_directories(PkgConfig::HTTPLIB INTERFACE ${PELMOA_HTTPLIB_INCLUDE_DIR})
  target_link_libraries(PkgConfig::HTTPLIB INTERFACE ws2_32 crypt32)
  target_compile_definitions(PkgConfig::HTTPLIB INTERFACE _WIN32_WINNT=0x0A00)
endif()
