# The Windows build takes its libraries from one prefix built by scripts/windows/deps (given
# as CMAKE_PREFIX_PATH / CMAKE_FIND_ROOT_PATH), where LZ4, cpp-httplib and ICU come without
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

# ICU's common library, static, with its data cut to the converters the page decoders read
# (libicudata.a holds it); ICU::uc as on Linux.
find_path(PELMOA_ICU_INCLUDE_DIR unicode/ucnv.h REQUIRED)
find_library(PELMOA_ICU_UC_LIBRARY libicuuc.a REQUIRED)
find_library(PELMOA_ICU_DATA_LIBRARY libicudata.a REQUIRED)
add_library(ICU::uc INTERFACE IMPORTED)
target_include_directories(ICU::uc INTERFACE ${PELMOA_ICU_INCLUDE_DIR})
target_link_libraries(ICU::uc INTERFACE ${PELMOA_ICU_UC_LIBRARY} ${PELMOA_ICU_DATA_LIBRARY})
target_compile_definitions(ICU::uc INTERFACE U_STATIC_IMPLEMENTATION)

# libwebp, static, as Qt's WebP plugin has it; PkgConfig::WEBP as on Linux.
find_path(PELMOA_WEBP_INCLUDE_DIR webp/decode.h REQUIRED)
find_library(PELMOA_WEBP_LIBRARY libwebp.a REQUIRED)
add_library(PkgConfig::WEBP INTERFACE IMPORTED)
target_include_directories(PkgConfig::WEBP INTERFACE ${PELMOA_WEBP_INCLUDE_DIR})
target_link_libraries(PkgConfig::WEBP INTERFACE ${PELMOA_WEBP_LIBRARY})
