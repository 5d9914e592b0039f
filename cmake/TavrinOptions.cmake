# Warnings as errors on our own targets, and the sanitizer build type.

set(CMAKE_CXX_FLAGS_ASAN "-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined"
    CACHE STRING "C++ flags for the sanitizer build" FORCE)
set(CMAKE_C_FLAGS_ASAN "${CMAKE_CXX_FLAGS_ASAN}" CACHE STRING "C flags for the sanitizer build" FORCE)
set(CMAKE_EXE_LINKER_FLAGS_ASAN "-fsanitize=address,undefined" CACHE STRING "" FORCE)
set(CMAKE_SHARED_LINKER_FLAGS_ASAN "-fsanitize=address,undefined" CACHE STRING "" FORCE)
mark_as_advanced(CMAKE_CXX_FLAGS_ASAN CMAKE_C_FLAGS_ASAN CMAKE_EXE_LINKER_FLAGS_ASAN CMAKE_SHARED_LINKER_FLAGS_ASAN)

function(tavrin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A static library for one app/ subsystem, named tavrin_<name>, with Qt's moc on.
function(tavrin_library name)
  add_library(tavrin_${name} STATIC ${ARGN})
  set_target_properties(tavrin_${name} PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON)
  target_include_directories(tavrin_${name} PUBLIC ${PROJECT_SOURCE_DIR}/app)
  tavrin_warnings(tavrin_${name})
endfunction()
