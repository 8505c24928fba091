# Warnings and include paths shared by every target of our own code.
add_library(tarn_options INTERFACE)
target_include_directories(tarn_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(tarn_options INTERFACE -Wall -Wextra -Werror)

if(WIN32)
  # Link the GCC runtime statically so the executable needs only system DLLs.
  target_link_options(tarn_options INTERFACE -static -static-libgcc -static-libstdc++)
  target_compile_definitions(tarn_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
endif()

set(TARN_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
if(TARN_SANITIZE)
  add_compile_options(-fsanitize=${TARN_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TARN_SANITIZE})
endif()
